#include "plugin/ParameterFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tarvel {

bool appendToParameterFile(const std::string& path, const std::string& lines) {
    if (lines.empty())
        return true;
    int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    struct stat before {};
    bool ok = fstat(fd, &before) == 0;
    size_t written = 0;
    while (ok && written < lines.size()) {
        ssize_t n = write(fd, lines.data() + written, lines.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ok = false;
        else
            written += static_cast<size_t>(n);
    }
    if (!ok && written > 0 && ftruncate(fd, before.st_size) != 0)
        ok = false;
    if (close(fd) != 0 && ok) {
        ok = false;
        if (truncate(path.c_str(), before.st_size) != 0)
            ok = false;
    }
    return ok;
}

}  // namespace tarvel
