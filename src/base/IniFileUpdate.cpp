#include "base/IniFileUpdate.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <limits>
#include <utility>
#include <vector>

#include "base/SysUtils.h"

namespace base {

namespace {

// Another program's update of the same file takes a fraction of a second.
constexpr DWORD kLockWaitMs = 10000;
// A copy's name: the start of the file's name (so that the copy is never longer than the file's own name,
// and a path that the system takes for the file takes the copy too), a tilde and eight hex digits.
constexpr size_t kCopyDigits = 8;
constexpr size_t kCopyTail = 1 + kCopyDigits;
constexpr int kCopyNamesTried = 64;

std::function<void()> afterWrite;
size_t diskRoom = std::numeric_limits<size_t>::max();

void Written() {
    if (afterWrite) afterWrite();
}

template <typename Call>
std::wstring GrownText(Call call) {
    std::vector<wchar_t> text(MAX_PATH);
    for (;;) {
        const DWORD length = call(text.data(), static_cast<DWORD>(text.size()));
        if (length == 0) return std::wstring();
        if (length < text.size()) return std::wstring(text.data(), length);
        text.resize(length + 1);
    }
}

// The full path in the form without a length limit, as the system's final paths come: a copy beside a file
// whose path is as long as the system takes still has a path the calls take.
std::wstring FullPath(const std::wstring& path) {
    const std::wstring full =
        GrownText([&](wchar_t* text, DWORD size) { return GetFullPathNameW(path.c_str(), size, text, nullptr); });
    if (full.compare(0, 4, L"\\\\?\\") == 0) return full;
    if (full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return full.size() > 2 && full[1] == L':' ? L"\\\\?\\" + full : path;
}

// The path of an open file as the system names it: through any link, the file itself.
std::wstring FinalPathOf(HANDLE file) {
    return GrownText([&](wchar_t* text, DWORD size) {
        return GetFinalPathNameByHandleW(file, text, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    });
}

// The file a name leads to: a settings file kept behind a symbolic link is changed at the link's target.
std::wstring FinalPath(const std::wstring& path) {
    const TFileHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    const std::wstring final = file.Valid() ? FinalPathOf(file.Get()) : std::wstring();
    return final.empty() ? FullPath(path) : final;
}

// The same file named with or without the long-path prefix.
std::wstring WithoutLongPathPrefix(const std::wstring& path) {
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\" + path.substr(7);
    if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
    return path;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    const std::wstring left = WithoutLongPathPrefix(a);
    const std::wstring right = WithoutLongPathPrefix(b);
    return CompareStringOrdinal(left.c_str(), static_cast<int>(left.size()), right.c_str(),
                                static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

enum class ReadOutcome { Read, Missing, Refused };

ReadOutcome ReadBytes(const std::wstring& path, std::string& bytes) {
    const TFileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadOutcome::Missing
                                                                              : ReadOutcome::Refused;
    }
    char buffer[65536];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) return ReadOutcome::Refused;
        if (read == 0) return ReadOutcome::Read;
        bytes.append(buffer, read);
    }
}

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::wstring NameOf(const std::wstring& path) {
    return path.substr(path.find_last_of(L"\\/") + 1);
}

// The start of every copy's name for a file.
std::wstring CopyStem(const std::wstring& name) {
    const size_t kept = name.size() > kCopyTail ? name.size() - kCopyTail : 1;
    return name.substr(0, kept) + L'~';
}

bool IsCopyName(const std::wstring& name, const std::wstring& stem) {
    if (name.size() != stem.size() + kCopyDigits || name.compare(0, stem.size(), stem) != 0) return false;
    for (size_t i = stem.size(); i < name.size(); ++i) {
        if (!iswxdigit(name[i])) return false;
    }
    return true;
}

bool SetDeletion(HANDLE file, bool pending) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = pending ? TRUE : FALSE;
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

// Removes a copy that an update stopped by a power cut left: only a plain file, that no link leads from,
// that no one holds open and that is not protected. A name that is a link, a folder, or anything put there on
// purpose stays as it is.
void RemoveLeftCopy(const std::wstring& path) {
    const TFileHandle file(CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.Valid() || !GetFileInformationByHandle(file.Get(), &info)) return;
    const DWORD protectedKinds = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_READONLY;
    if ((info.dwFileAttributes & protectedKinds) != 0 || info.nNumberOfLinks != 1) return;
    // Wine opens the target of a Unix symbolic link and does not report the link: the handle then names
    // another file than the one asked for.
    if (!SamePath(FinalPathOf(file.Get()), path)) return;
    SetDeletion(file.Get(), true);
}

void RemoveLeftCopies(const std::wstring& folder, const std::wstring& stem) {
    WIN32_FIND_DATAW found;
    const TFindHandle search(FindFirstFileW((folder + stem + L'*').c_str(), &found));
    if (!search.Valid()) return;
    do {
        if (IsCopyName(found.cFileName, stem)) RemoveLeftCopy(folder + found.cFileName);
    } while (FindNextFileW(search.Get(), &found));
}

// A new file under a name of the stem that nothing holds: the first free one of names drawn at random, so
// that neither another update nor a name put there beforehand stands in its way. It goes again by itself
// if the process ends before the mark is taken off it.
TFileHandle CreateCopy(const std::wstring& folder, const std::wstring& stem, DWORD creationAttributes,
                       std::wstring& path) {
    static uint64_t state = (static_cast<uint64_t>(GetCurrentProcessId()) << 32) ^ GetTickCount64();
    for (int tried = 0; tried < kCopyNamesTried; ++tried) {
        // splitmix64: a new name each time, different between processes.
        state += 0x9E3779B97F4A7C15ull;
        uint64_t mixed = (state ^ (state >> 30)) * 0xBF58476D1CE4E5B9ull;
        mixed = (mixed ^ (mixed >> 27)) * 0x94D049BB133111EBull;
        wchar_t digits[kCopyDigits + 1];
        wsprintfW(digits, L"%08lx", static_cast<unsigned long>((mixed ^ (mixed >> 31)) & 0xFFFFFFFFu));
        path = folder + stem + digits;
        for (const DWORD access : {DWORD{WRITE_OWNER}, DWORD{0}}) {
            TFileHandle copy(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE | WRITE_DAC | access, 0,
                                         nullptr, CREATE_NEW, creationAttributes, nullptr));
            if (copy.Valid()) {
                SetDeletion(copy.Get(), true);
                return copy;
            }
            if (GetLastError() != ERROR_ACCESS_DENIED) break;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED) break;
    }
    return TFileHandle();
}

// The file's owner, group and access list go to the copy as far as the system lets this user set them.
void KeepSecurity(const std::wstring& file, HANDLE copy) {
    const SECURITY_INFORMATION parts =
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD size = 0;
    GetFileSecurityW(file.c_str(), parts, nullptr, 0, &size);
    if (size == 0) return;
    std::vector<BYTE> descriptor(size);
    if (!GetFileSecurityW(file.c_str(), parts, descriptor.data(), size, &size)) return;
    if (!SetKernelObjectSecurity(copy, parts, descriptor.data()))
        SetKernelObjectSecurity(copy, DACL_SECURITY_INFORMATION, descriptor.data());
}

bool KeepAttributes(HANDLE copy, DWORD attributes) {
    if (attributes == 0) return true;
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = attributes;
    return SetFileInformationByHandle(copy, FileBasicInfo, &basic, sizeof basic) != FALSE;
}

// Written in one call and read back: a disk that took less than all of it, or gave back something else,
// fails the update.
bool WriteWhole(HANDLE file, const std::string& bytes) {
    const DWORD size = static_cast<DWORD>(bytes.size());
    const DWORD room = static_cast<DWORD>(std::min<size_t>(bytes.size(), diskRoom));
    DWORD written = 0;
    if (size > 0 && (!WriteFile(file, bytes.data(), room, &written, nullptr) || written != size)) return false;
    if (!FlushFileBuffers(file) || SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return false;
    std::string back(bytes.size() + 1, '\0');
    DWORD read = 0;
    return ReadFile(file, &back[0], size + 1, &read, nullptr) && read == size && back.compare(0, size, bytes) == 0;
}

// The copy takes the file's name in one step. Windows 10 (version 1709 and later) replaces a file that another
// program holds open with full sharing, as a reader or a backup tool may, and the holder keeps the old one;
// older systems and Wine refuse that form and the plain one then refuses a held file.
bool RenameOnto(HANDLE copy, const std::wstring& target, bool& heldOpen) {
    struct RenameInfo {
        DWORD flags;  // FileRenameInfo reads its first byte as the "replace if it exists" answer
        HANDLE root;
        DWORD nameBytes;
        WCHAR name[1];
    };
    const DWORD kRenameInfoEx = 22;
    const DWORD kReplaceIfExists = 0x1;
    const DWORD kPosixSemantics = 0x2;
    std::vector<BYTE> buffer(sizeof(RenameInfo) + target.size() * sizeof(WCHAR));
    auto* info = reinterpret_cast<RenameInfo*>(buffer.data());
    info->nameBytes = static_cast<DWORD>(target.size() * sizeof(WCHAR));
    std::copy(target.begin(), target.end(), info->name);
    info->flags = kReplaceIfExists | kPosixSemantics;
    const DWORD size = static_cast<DWORD>(buffer.size());
    if (SetFileInformationByHandle(copy, static_cast<FILE_INFO_BY_HANDLE_CLASS>(kRenameInfoEx), info, size))
        return true;
    info->flags = TRUE;
    if (SetFileInformationByHandle(copy, FileRenameInfo, info, size)) return true;
    const DWORD error = GetLastError();
    heldOpen = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
    return false;
}

// Where the system refuses to replace a file that another program holds open with full sharing, the file
// takes the new bytes itself: room for them first, so that a full disk leaves it as it was. Unlike the
// replacement, a process stopped part-way through can leave it part-written.
bool WriteInPlace(const std::wstring& target, const std::string& bytes) {
    const TFileHandle file(CreateFileW(target.c_str(), GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return false;
    LARGE_INTEGER size{}, current{};
    size.QuadPart = static_cast<LONGLONG>(bytes.size());
    if (!GetFileSizeEx(file.Get(), &current)) return false;
    if (size.QuadPart > current.QuadPart &&
        (!SetFilePointerEx(file.Get(), size, nullptr, FILE_BEGIN) || !SetEndOfFile(file.Get())))
        return false;
    DWORD written = 0;
    const LARGE_INTEGER start{};
    return SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN) &&
           (bytes.empty() ||
            (WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
             written == bytes.size())) &&
           SetEndOfFile(file.Get()) && FlushFileBuffers(file.Get());
}

}  // namespace

// One lock a file, whatever name reached it: every program waits on the same mutex, named after the file's
// final path. Its name lies in the session's own namespace, where another user's program cannot take it first.
TIniFileLock::TIniFileLock(const std::string& fileName) : file_(FinalPath(WideText(fileName))) {
    std::wstring key = WithoutLongPathPrefix(file_);
    CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
    uint64_t hash = 14695981039346656037ull;
    for (const wchar_t unit : key) {
        hash ^= static_cast<uint64_t>(unit);
        hash *= 1099511628211ull;
    }
    wchar_t name[64];
    wsprintfW(name, L"Local\\IniFileUpdate-%08lx%08lx", static_cast<unsigned long>(hash >> 32),
              static_cast<unsigned long>(hash & 0xFFFFFFFFu));
    mutex_ = TKernelHandle(CreateMutexW(nullptr, FALSE, name));
    if (!mutex_.Valid()) return;
    // A change whose process was stopped leaves the file as it was: its lock is free to take.
    const DWORD waited = WaitForSingleObject(mutex_.Get(), kLockWaitMs);
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

TIniFileLock::~TIniFileLock() {
    if (held_) ReleaseMutex(mutex_.Get());
}

TIniFile ReadIniFile(const std::string& fileName) {
    const TIniFileLock lock(fileName);
    std::string bytes;
    if (ReadBytes(lock.File(), bytes) == ReadOutcome::Refused)
        throw Exception(Format("Unable to read %s", fileName.c_str()));
    TIniEncoding encoding;
    return TIniFile(DecodeIniText(bytes, encoding));
}

TIniFileUpdate::TIniFileUpdate(const std::string& fileName)
    : fileName_(fileName), lock_(fileName), target_(lock_.File()) {
    if (!lock_.Held()) Refuse();
    const DWORD attributes = GetFileAttributesW(target_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) Refuse();
    std::string bytes;
    if (ReadBytes(target_, bytes) == ReadOutcome::Refused) Refuse();
    file_ = TIniFile(DecodeIniText(bytes, encoding_));
}

void TIniFileUpdate::Commit() {
    const std::string bytes = EncodeIniText(file_.Text(), encoding_);
    const std::wstring folder = FolderOf(target_);
    const std::wstring stem = CopyStem(NameOf(target_));
    RemoveLeftCopies(folder, stem);

    const DWORD attributes = GetFileAttributesW(target_.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    const DWORD kept = exists ? attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                              FILE_ATTRIBUTE_NOT_CONTENT_INDEXED)
                              : 0;
    // An encrypted file's text never lies on the disk in the clear, not even in its copy.
    const DWORD encrypted = exists ? attributes & FILE_ATTRIBUTE_ENCRYPTED : 0;
    std::wstring copyPath;
    const TFileHandle copy = CreateCopy(folder, stem, encrypted != 0 ? encrypted : FILE_ATTRIBUTE_NORMAL, copyPath);
    if (!copy.Valid()) Refuse();
    if (exists) KeepSecurity(target_, copy.Get());
    if (!KeepAttributes(copy.Get(), kept) || !WriteWhole(copy.Get(), bytes)) Refuse();
    Written();

    bool heldOpen = false;
    if (!SetDeletion(copy.Get(), false)) Refuse();
    if (!RenameOnto(copy.Get(), target_, heldOpen)) {
        SetDeletion(copy.Get(), true);
        if (!heldOpen || !exists || !WriteInPlace(target_, bytes)) Refuse();
    }
    Written();
}

void TIniFileUpdate::Refuse() const {
    throw Exception(Format("Unable to write to %s", fileName_.c_str()));
}

IniWriteHook::IniWriteHook(std::function<void()> hook) : previous_(std::move(afterWrite)) {
    afterWrite = std::move(hook);
}

IniWriteHook::~IniWriteHook() {
    afterWrite = std::move(previous_);
}

IniDiskRoom::IniDiskRoom(size_t bytes) : previous_(diskRoom) {
    diskRoom = bytes;
}

IniDiskRoom::~IniDiskRoom() {
    diskRoom = previous_;
}

}  // namespace base
