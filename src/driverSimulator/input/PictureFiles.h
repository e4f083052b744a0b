// Where custom pictures come from: the job only names a picture, and the
// name is looked up inside one directory chosen by the queue's
// administrator. Opening one never waits and never reads from anything but
// a regular file of bounded size.
#pragma once

#include <cstdio>
#include <string>

namespace tavgdi {
namespace PictureFiles {

// Environment variable naming the picture directory; it takes precedence
// over the PPD keyword below.
extern const char* const DirectoryVariable; // "CR80_PICTURE_DIR"
// PPD keyword (*cr80PictureDir: "/path") naming the picture directory of a
// queue.
extern const char* const DirectoryKeyword; // "cr80PictureDir"

// Largest picture file read (header and pixels).
const unsigned long long MaxFileSize = 64ull * 1024 * 1024;

// True when `name` may be looked up in the picture directory: not empty,
// not absolute, and without a ".." component.
bool isNameInside(const char* name);

// `name` inside `directory`; an empty directory is the working directory,
// and the name is then used as it is.
std::string pathInside(const std::string& directory, const char* name);

// Opens `path` for reading when it is a regular file of at most
// MaxFileSize bytes, or gives null. The file is opened without waiting (a
// FIFO or a device does not block) and checked on the open descriptor
// before a byte is read; a special file is refused before it is opened.
// The descriptor is closed on exec. Logs why a file is refused.
FILE* openRegular(const char* path);

} // namespace PictureFiles
} // namespace tavgdi
