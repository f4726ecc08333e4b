#include "support/HeldFile.h"

#include <stdexcept>

namespace testing_support {

FileHeldForReading::FileHeldForReading(const std::string& path, DWORD sharing)
    : file_(CreateFileA(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (file_ == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot hold " + path);
}

FileHeldForReading::~FileHeldForReading() {
    CloseHandle(file_);
}

}  // namespace testing_support
