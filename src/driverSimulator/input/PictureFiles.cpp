#include "input/PictureFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "InternalLog.h"

namespace tavgdi {
namespace PictureFiles {

const char* const DirectoryVariable = "CR80_PICTURE_DIR";
const char* const DirectoryKeyword = "cr80PictureDir";

namespace {

// Why a file cannot be a picture, or null when it can.
const char* refusal(const struct stat& st)
{
    if (!S_ISREG(st.st_mode))
        return "not a regular file";
    if (st.st_size < 0 || static_cast<unsigned long long>(st.st_size) > MaxFileSize)
        return "larger than 64 MiB";
    return nullptr;
}

// True (and logged) when the file is refused.
bool isRefused(const struct stat& st)
{
    const char* why = refusal(st);
    if (why != nullptr)
        InternalLog::print(L"[TAVRIN UNIDRIVER][PictureFiles::openRegular] WARNING - picture file refused: %S\r\n",
                           why);
    return why != nullptr;
}

} // namespace

bool isNameInside(const char* name)
{
    if (name == nullptr || name[0] == '\0' || name[0] == '/')
        return false;
    for (const char* component = name;;) {
        const char* end = std::strchr(component, '/');
        const size_t length = end != nullptr ? static_cast<size_t>(end - component) : std::strlen(component);
        if (length == 2 && component[0] == '.' && component[1] == '.')
            return false;
        if (end == nullptr)
            return true;
        component = end + 1;
    }
}

std::string pathInside(const std::string& directory, const char* name)
{
    std::string path = directory;
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path + (name != nullptr ? name : "");
}

FILE* openRegular(const char* path)
{
    if (path == nullptr)
        return nullptr;
    // A look first, so that a device is not even opened (opening some has
    // effects of its own); the descriptor's own check below is the one that
    // counts, as the file may change in between.
    struct stat st;
    if (stat(path, &st) == 0 && isRefused(st))
        return nullptr;
    // Without O_NONBLOCK, opening a FIFO would wait for a writer for ever.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return nullptr;
    if (fstat(fd, &st) != 0 || isRefused(st)) {
        close(fd);
        return nullptr;
    }
    // A regular file: read it with ordinary blocking reads.
    const int flags = fcntl(fd, F_GETFL);
    FILE* file = flags != -1 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0 ? fdopen(fd, "rb") : nullptr;
    if (file == nullptr)
        close(fd);
    return file;
}

} // namespace PictureFiles
} // namespace tavgdi
