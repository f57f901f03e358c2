// tarvel.dll on Windows: its one export, the import of receipt files the Linux server wrote from
// the fixed folder C:\TarvelSerwer\, a receipt held against the server's writes, and where the
// functions of "32DOS.dll" are found.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>

#include "HostSim.h"
#include "Library.h"
#include "plugin/FileLayer.h"
#include "plugin/HostBinding.h"
#include "plugin/WindowsImports.h"

namespace {

const char* RECEIPTS[] = {"20261207_00001_200007_1_31.txt", "20261207_00002_200007_1_32.txt",
                          "20261207_00003_200007_1_33.txt"};

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void copyFile(const std::string& from, const std::string& to) {
    std::ofstream(to, std::ios::binary) << readAll(from);
}

std::string folder() {
    char path[MAX_PATH];
    GetCurrentDirectoryA(sizeof(path), path);
    return path;
}

// Receipt files as the server wrote them, in the plug-in's receipt folder.
void layReceipts() {
    CreateDirectoryA("C:\\TarvelSerwer", nullptr);
    for (const char* name : RECEIPTS)
        copyFile(std::string(KOS_SOURCE_DIR) + "/tests/plugin/data/server-receipts/" + name,
                 std::string("C:\\TarvelSerwer\\") + name);
}

TEST(WindowsPlugin, ExportsDllMainAloneByNameAndOrdinalOne) {
    HMODULE module = LoadLibraryA(TARVEL_DLL);
    ASSERT_TRUE(module);
    FARPROC byName = GetProcAddress(module, "DLLMain");
    EXPECT_TRUE(byName);
    EXPECT_EQ(byName, GetProcAddress(module, MAKEINTRESOURCEA(1)));
    auto* base = reinterpret_cast<const unsigned char*>(module);
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
    EXPECT_STREQ(reinterpret_cast<const char*>(base + exports->Name), "tarvel.DLL");
    EXPECT_EQ(exports->NumberOfFunctions, 1u);
    EXPECT_EQ(exports->NumberOfNames, 1u);
    EXPECT_EQ(exports->Base, 1u);
    FreeLibrary(module);
}

TEST(WindowsPlugin, ImportsTheReceiptFilesTheLinuxServerWrote) {
    layReceipts();
    DeleteFileA("Kasa7.par");
    hostsim::Options options;
    options.registerNumber = 7;
    options.iniPath = folder() + "\\host.ini";
    options.fromDate = options.toDate = "20261207";
    options.uniqueNumber = "ABCDE200007";
    options.readMode = 1;
    hostsim::HostSim host(options);
    {
        hostsim::Library library(TARVEL_DLL);
        ASSERT_TRUE(library.loaded()) << library.error();
        char title[64] = {};
        ASSERT_EQ(library.dllMain(hostsim::HostSim::callback(), title), 0);
        EXPECT_STREQ(title, "Odczyt On-Line z TarvelSerwer");
        EXPECT_EQ(host.sendCommand(2, tarvel::COMMAND_READ_SALES), hostsim::HANDLER_RESULT + 2);
        library.dllMain(nullptr, nullptr);
    }
    EXPECT_EQ(readAll("Kasa7.par"),
              "$1\t31\t1\t0\t00000000000012\t1.000\t332\n"
              "$1\t31\t2\t0\t00000000000077\t2.500\t689\n"
              "$1\t31\t3\t0\t\t12.000\t13680\n"
              "$1\t32\t1\t0\t00000000000077\t1.001\t334\n"
              "$1\t32\t2\t0\t00000000000012\t-0.500\t-175\n"
              "$1\t33\t1\t0\t\t2.500\t625\n"
              "$1\t33\t2\t0\t00000000000005\t2.300\t264\n");
    EXPECT_EQ(host.lines.size(), 11u);
    EXPECT_EQ(host.shownReport,
              "\nWczytanie danych z dnia:07.12.2026\nZakres wczytanych paragon\xA2w:31-33\n");
    for (const char* name : RECEIPTS)
        EXPECT_EQ(GetFileAttributesA((std::string("C:\\TarvelSerwer\\") + name).c_str()),
                  INVALID_FILE_ATTRIBUTES)
            << name;
    EXPECT_TRUE(host.handlerCalls.size() == 1 && host.handlerCalls[0].arguments[0] == 0x3F00);
    EXPECT_TRUE(host.faults.empty());
}

TEST(WindowsPlugin, FileLayerListsByPatternHoldsAgainstWritesAndDeletes) {
    layReceipts();
    tarvel::FileLayer& files = tarvel::systemFileLayer();
    EXPECT_EQ(files.list(tarvel::receiptDirectory(), "20261207_?????_200007*.txt").size(), 3u);
    EXPECT_EQ(files.list(tarvel::receiptDirectory(), "20261207_????_200007*.txt").size(), 0u);
    EXPECT_EQ(files.list(tarvel::receiptDirectory(), "20261208_?????_*.txt").size(), 0u);

    const std::string path = std::string("C:\\TarvelSerwer\\") + RECEIPTS[0];
    {
        auto held = files.lockReceipt(path);
        ASSERT_EQ(held->status(), tarvel::LockedReceipt::Status::Open);
        HANDLE server = CreateFileA(path.c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_EQ(server, INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        EXPECT_TRUE(held->remove());
    }
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(files.lockReceipt(path)->status(), tarvel::LockedReceipt::Status::CannotOpen);
}

TEST(WindowsPlugin, DosImportsComeFromTheSystemTheHostProgramOrTheCallback) {
    hostsim::HostSim host(hostsim::Options{});
    tarvel::setHostCallback(hostsim::HostSim::callback());
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    EXPECT_EQ(tarvel::resolveDosImport("GetTickCount", "32DOS.dll"),
              reinterpret_cast<void*>(GetProcAddress(kernel, "GetTickCount")));
    EXPECT_EQ(tarvel::resolveDosImport("tarvelSystemMessageBox", "32DOS.dll"),
              reinterpret_cast<void*>(
                  GetProcAddress(GetModuleHandleA(nullptr), "tarvelSystemMessageBox")));
    EXPECT_EQ(tarvel::resolveDosImport("_gettab@4", "32DOS.dll"),
              reinterpret_cast<void*>(hostsim::HostSim::callback()(2, intptr_t("_gettab@4"))));
    EXPECT_TRUE(host.systemBoxes.empty());
    EXPECT_EQ(tarvel::resolveDosImport("NoSuchFunction", "32DOS.dll"), nullptr);
    ASSERT_EQ(host.systemBoxes.size(), 1u);
    EXPECT_EQ(host.systemBoxes[0].title, "Blad wtyczki");
    EXPECT_EQ(host.systemBoxes[0].text, "Nie znaleziono\nNoSuchFunction\nfrom 32DOS.dll");
    EXPECT_EQ(host.systemBoxes[0].flags, static_cast<uint32_t>(MB_ICONINFORMATION));
    tarvel::setHostCallback(nullptr);
}

}  // namespace
