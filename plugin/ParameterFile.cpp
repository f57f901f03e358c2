#include "plugin/ParameterFile.h"

#include <cstdint>

namespace tarvel {

bool appendToParameterFile(FileLayer& files, const std::string& path, const std::string& lines) {
    if (lines.empty())
        return true;
    std::unique_ptr<AppendFile> file = files.openForAppend(path);
    if (!file)
        return false;
    int64_t before = 0;
    if (!file->size(before))
        return false;
    if (file->write(lines) && file->sync()) {
        file->close();  // what sync() answered for is on the disk whatever close says
        return true;
    }
    // Whatever part reached the file goes again; the cut itself is made durable too.
    if (file->truncate(before))
        file->sync();
    file->close();
    return false;
}

}  // namespace tarvel
