// Design files on disk: reading a whole file, and replacing one without ever leaving a
// half-written design behind.
#include "hostapp/design/DesignFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace hostapp::design {

namespace {

std::string ErrorMessage(const std::string& file, const std::string& jsonPath,
                         const std::string& reason) {
    std::string message = file;
    if (!jsonPath.empty()) message += ": " + jsonPath;
    return message + ": " + reason;
}

[[noreturn]] void FailWrite(const std::string& path, const std::string& what, int error) {
    throw DesignFileError(path, "", what + ": " + std::strerror(error));
}

// Writes all of `text` to a new file beside `path`; returns its name.
std::string WriteTemporary(const std::string& path, const std::string& text) {
    static std::atomic<unsigned> counter{0};
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = path + ".tmp-" + std::to_string(::getpid()) + "-" +
                    std::to_string(counter.fetch_add(1));
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) FailWrite(path, "cannot create " + temporary, errno);
    }
    if (fd < 0) FailWrite(path, "cannot create a temporary file", EEXIST);

    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            ::unlink(temporary.c_str());
            FailWrite(path, "cannot write " + temporary, error);
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    // The rename below must never expose a file whose bytes are not yet on disk.
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        FailWrite(path, "cannot write " + temporary, error);
    }
    return temporary;
}

}  // namespace

DesignFileError::DesignFileError(std::string file, std::string jsonPath, std::string reason)
    : std::runtime_error(ErrorMessage(file, jsonPath, reason)),
      file_(std::move(file)),
      jsonPath_(std::move(jsonPath)),
      reason_(std::move(reason)) {}

DesignData ReadDesignFile(const std::string& path) {
    // A folder opens like a file here and would read as empty text.
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        throw DesignFileError(path, "", "is a folder, not a design file");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) throw DesignFileError(path, "", std::string("cannot open: ") + std::strerror(errno));
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw DesignFileError(path, "", "cannot read the file");
    return ParseDesign(text.str(), path);
}

void WriteDesignFile(const DesignData& design, const std::string& path) {
    std::string text;
    try {
        text = SerializeDesign(design);
    } catch (const std::invalid_argument& error) {
        throw DesignFileError(path, "", std::string("cannot be written: ") + error.what());
    }
    // A design that would not load again must not replace a good file.
    try {
        ParseDesign(text, path);
    } catch (const DesignFileError& error) {
        throw DesignFileError(path, error.jsonPath(),
                              "would not read back, nothing written: " + error.reason());
    }
    const std::string temporary = WriteTemporary(path, text);
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        std::remove(temporary.c_str());
        FailWrite(path, "cannot replace the file", error);
    }
}

}  // namespace hostapp::design
