#include "docs/recovery_files.h"

#include "winkit/win_handles.h"
#include "docs/document.h"
#include "editctl/editctl.h"
#include "winkit/program_name.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <array>
#include <atomic>
#include <cwchar>
#include <new>
#include <string_view>
#include <vector>

namespace {

// The system's error of the last journal file that could not be made or
// written; the writing thread sets it too.
std::atomic<DWORD> lastFailure{0};
// Set when a file stands where the folder should be.
std::atomic<bool> folderBlocked{false};

std::wstring LocalAppData() {
    std::wstring folder;
    PWSTR known = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known)))
        folder = known;
    CoTaskMemFree(known);
    if (folder.empty()) {
        wchar_t variable[MAX_PATH];
        const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", variable, MAX_PATH);
        if (length > 0 && length < MAX_PATH)
            folder.assign(variable, length);
    }
    return folder;
}

// Unique among the documents of every instance, run after run.
uint64_t NewDocumentId() {
    static uint32_t counter = 0;
    LARGE_INTEGER now = {};
    QueryPerformanceCounter(&now);
    FILETIME time = {};
    GetSystemTimeAsFileTime(&time);
    const uint64_t parts[] = {GetCurrentProcessId(), static_cast<uint64_t>(now.QuadPart),
                              (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime,
                              ++counter};
    return HashBytes(std::string_view(reinterpret_cast<const char*>(parts), sizeof parts));
}

// The folder, made for the user alone when missing; false when it is not
// there afterwards (a file in its place, no access).
bool MakeFolder(const std::wstring& path) {
    OwnerOnlySecurity security(true);
    if (CreateDirectoryW(path.c_str(), security.get()))
        return true;
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    folderBlocked = attributes != INVALID_FILE_ATTRIBUTES;
    lastFailure = error;
    return false;
}

class RecoveryFolder final : public JournalFolder {
  public:
    // Shared for reading only: other instances cannot take it while this one runs.
    std::unique_ptr<JournalSink> Create(uint64_t documentId, uint32_t generation) override {
        const std::wstring folder = Recovery_Folder();
        if (folder.empty())
            return nullptr;
        wchar_t name[64];
        swprintf(name, 64, L"\\%016llx-%u.tsj", static_cast<unsigned long long>(documentId),
                 generation);
        // Made before the file, so that nothing can fail between the two.
        auto sink = std::make_unique<JournalFileSink>(folder + name);
        OwnerOnlySecurity security(false);
        HANDLE file = CreateFileW(sink->Path().c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                  security.get(), CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            lastFailure = GetLastError();
            return nullptr;
        }
        sink->Take(file);
        return sink;
    }
};

} // namespace

OwnerOnlySecurity::OwnerOnlySecurity(bool folder) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return;
    const FileHandle tokenOwner(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    user_ = std::make_unique<BYTE[]>(size);
    if (size == 0 || !GetTokenInformation(token, TokenUser, user_.get(), size, &size))
        return;
    PSID sid = reinterpret_cast<TOKEN_USER*>(user_.get())->User.Sid;
    const DWORD aclSize = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(sid);
    acl_ = std::make_unique<BYTE[]>(aclSize);
    auto* acl = reinterpret_cast<ACL*>(acl_.get());
    // A folder passes the entry on to what is made in it. A file needs no
    // right to run, which Wine would turn into mode bits.
    const DWORD inherit = folder ? OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE : 0;
    const DWORD access = folder ? FILE_ALL_ACCESS : FILE_GENERIC_READ | FILE_GENERIC_WRITE | DELETE;
    ready_ = InitializeAcl(acl, aclSize, ACL_REVISION) &&
             AddAccessAllowedAceEx(acl, ACL_REVISION, inherit, access, sid) &&
             InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
             SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE) &&
             SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    attributes_ = {sizeof attributes_, &descriptor_, FALSE};
}

std::wstring& Recovery_FolderOverride() {
    static std::wstring folder;
    return folder;
}

std::wstring Recovery_FolderPath() {
    if (!Recovery_FolderOverride().empty())
        return Recovery_FolderOverride();
    const std::wstring base = LocalAppData();
    return base.empty() ? std::wstring() : base + L"\\" TESSARY_NAME L"\\Recovery";
}

std::wstring Recovery_Folder() {
    folderBlocked = false;
    const std::wstring folder = Recovery_FolderPath();
    if (folder.empty())
        return {};
    // The program's folder first, when it is the real one.
    if (Recovery_FolderOverride().empty() && !MakeFolder(folder.substr(0, folder.rfind(L'\\'))))
        return {};
    return MakeFolder(folder) ? folder : std::wstring();
}

std::wstring Recovery_KeptFolder() {
    const std::wstring folder = Recovery_Folder();
    if (folder.empty())
        return {};
    const std::wstring kept = folder + L"\\Kept";
    return MakeFolder(kept) ? kept : std::wstring();
}

JournalFileSink::~JournalFileSink() {
    if (!file_)
        return;
    file_.reset();
    DeleteFileW(path_.c_str());
}

bool JournalFileSink::Append(std::string_view bytes) {
    while (!bytes.empty()) {
        const auto piece = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file_.get(), bytes.data(), piece, &written, nullptr) || written == 0) {
            lastFailure = GetLastError();
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

bool JournalFileSink::Flush() {
    if (FlushFileBuffers(file_.get()))
        return true;
    lastFailure = GetLastError();
    return false;
}

void Recovery_Attach(Document& document) {
    auto log = std::make_shared<JournalLog>(NewDocumentId());
    EditCtl_SetTextObserver(document.editWindow, log.get());
    document.journal = std::move(log);
}

JournalProgress Recovery_Write(Document& document, size_t budget) {
    JournalLog* log = document.journal.get();
    if (!log || !log->Due())
        return {};
    static RecoveryFolder folder;
    std::vector<std::u16string_view> text;
    try {
        text = EditCtl_TextPieces(document.editWindow);
    } catch (const std::bad_alloc&) {
        return {true, false}; // nothing written: try again soon
    }
    return log->Write(folder, document, text, budget);
}

void Recovery_Discard(Document& document) {
    if (JournalLog* log = document.journal.get())
        log->Discard();
}

std::wstring Recovery_FailureText() {
    if (folderBlocked)
        return L"A file stands where the folder should be.";
    wchar_t text[512] = {};
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, lastFailure, 0, text, 512, nullptr);
    std::wstring words(text, length);
    while (!words.empty() &&
           (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' '))
        words.pop_back();
    if (words.empty())
        words = L"System error " + std::to_wstring(lastFailure) + L".";
    return words;
}
