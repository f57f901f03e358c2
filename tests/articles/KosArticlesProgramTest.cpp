// kos-articles as a separate process: import and export round trip in both encodings, and
// failures on standard error with their exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "support/TempDir.h"

namespace kos::test {
namespace {

const std::string PROGRAM = std::string(KOS_BINARY_DIR) + "/articles/cli/kos-articles";

struct Outcome {
    int status;
    std::string out, err;
};

class KosArticles : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
        setenv("HOME", dir.path().c_str(), 1);
    }
    // The program with args (shell words) and standard input from input.
    Outcome run(const std::string& args, const std::string& input = "") {
        writeFile(dir.file("stdin"), input);
        const std::string cmd =
            "cd '" + dir.path() + "' && '" + PROGRAM + "' " + args + " <stdin >stdout 2>stderr";
        const int status = std::system(cmd.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(dir.file("stdout")),
                readFile(dir.file("stderr"))};
    }
    TempDir dir;
};

std::string lastLine(const std::string& text) {
    return text.substr(text.rfind('\n', text.size() - 2) + 1);
}

const std::string LINES =
    "x\t00000000000012\tCOLA\t2,50\tNIE\tA 22%\t1,500\t3,75\n"
    " \t00000000000007\tŻUBRÓWKA 0,5\t24,99\tTAK\tB 7%\t0,000\t0,00\n"
    "x\t00000000000099\tŁOSOŚ €\t0,00\tNIE\tG zw.\t12,345\t99999,99\n";

TEST_F(KosArticles, ExportImportedIntoAnEmptyFileGivesTheSameBytes) {
    Outcome r = run("import a.dat", LINES);
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ("nowy dokument a.dat\ndodano artykułów: 3\n", r.out);

    r = run("export a.dat");
    ASSERT_EQ(0, r.status) << r.err;
    // List order is PLU order.
    EXPECT_EQ(LINES.substr(LINES.find('\n') + 1, LINES.rfind("x\t") - LINES.find('\n') - 1) +
                  LINES.substr(0, LINES.find('\n') + 1) + LINES.substr(LINES.rfind("x\t")),
              r.out);
    ASSERT_EQ(0, run("import b.dat", r.out).status);
    EXPECT_EQ(readFile(dir.file("a.dat")), readFile(dir.file("b.dat")));

    ASSERT_EQ(0, run("export a.dat code.txt --cp1250").status);
    EXPECT_NE(std::string::npos, readFile(dir.file("code.txt"))
                                     .find("\xAF"
                                           "UBR\xD3WKA"));
    ASSERT_EQ(0, run("import c.dat code.txt --cp1250").status);
    EXPECT_EQ(readFile(dir.file("a.dat")), readFile(dir.file("c.dat")));
}

TEST_F(KosArticles, FailuresKeepWhatWasAddedAndExitNonZero) {
    Outcome r = run("import a.dat",
                    "x\t5\tA\t1\tNIE\tA\t0\t0\nx\t6\tB\t1\tNIE\tA\t0\t0\n"
                    "x\t7\t☃\t1\tNIE\tA\t0\t0\nx\t8\tD\t1\tNIE\tA\t0\t0\n");
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("Linia 3 - niepoprawny format.\n", r.err);
    EXPECT_EQ("dodano artykułów: 2\n", r.out.substr(r.out.find('\n') + 1));

    r = run("import a.dat",
            "x\t9\tE\t1\tNIE\tA\t0\t0\nx\t5\tF\t1\tNIE\tA\t0\t0\nx\t10\tG\t1\tNIE\tA\t0\t0\n");
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(
        "Atykuł o podanej nazwie 'F'  lub PLU 00000000000005 już istnieje.\n"
        "Czy chcesz dodać pozostałe artykuły? [T/N] N\n",
        r.err);
    EXPECT_EQ("dodano artykułów: 1\n", r.out);

    r = run("add a.dat --plu 11 --name 'abcdefghijklmnopqrs' --price 1 --vat A");
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("Wprowadź nie więcej niż 18 znaków.\n", r.err);
    r = run("add a.dat --plu 11 --name ' cola ' --price 100000 --vat A");
    EXPECT_EQ("Za dużo cyfr w części całkowitej.\n", r.err);
    r = run("add a.dat --plu 11 --name ' cola ' --price 1,5 --vat A --open-price");
    EXPECT_EQ(0, r.status) << r.err;
    EXPECT_EQ(" \t00000000000011\tCOLA\t1,50\tTAK\tA 22%\t0,000\t0,00\n",
              lastLine(run("export a.dat").out));

    r = run("header a.dat --line 2 'Sklep Żaba' --align right");
    EXPECT_EQ(0, r.status) << r.err;
    EXPECT_EQ("\nSklep Żaba\n\n\n\nwyrównanie: prawej\n", r.out);
    EXPECT_EQ(1, run("header a.dat --line 1 'Sklep Żaba 12345678'").status);
    EXPECT_EQ(r.out, run("header a.dat").out);

    EXPECT_EQ(1, run("export missing.dat").status);
    EXPECT_EQ(2, run("export a.dat --skip-duplicates").status);
    EXPECT_EQ(2, run("add a.dat --plu 1").status);
}

}  // namespace
}  // namespace kos::test
