#include "fileio/file_bytes_temp.h"

#include "fileio/text_units.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::u16string_view kPrefix = u"~tessary-";
constexpr std::u16string_view kTempSuffix = u".tmp";
constexpr std::u16string_view kRecordSuffix = u".save";
// Leaves room for the suffix within the usual 255-unit limit of a name.
constexpr size_t kMaxBackupStem = 200;

std::u16string Digits(uint32_t value) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value != 0);
    return digits;
}

std::u16string OwnerTag(uint32_t processId, uint32_t number) {
    return std::u16string(kPrefix) + Digits(processId) + u'-' + Digits(number);
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Reads a decimal number from the front of text; false when there is none
// or it does not fit 32 bits.
bool TakeNumber(std::u16string_view& text, uint32_t& value) {
    size_t length = 0;
    uint64_t parsed = 0;
    while (length < text.size() && IsDigit(text[length])) {
        parsed = parsed * 10 + (text[length] - u'0');
        if (parsed > std::numeric_limits<uint32_t>::max())
            return false;
        ++length;
    }
    text.remove_prefix(length);
    value = static_cast<uint32_t>(parsed);
    return length > 0;
}

} // namespace

std::u16string SaveTempFileName(uint32_t processId, uint32_t number) {
    return OwnerTag(processId, number) + std::u16string(kTempSuffix);
}

std::u16string SaveBackupFileName(std::u16string_view targetName, uint32_t processId,
                                  uint32_t number) {
    size_t stem = std::min(targetName.size(), kMaxBackupStem);
    if (stem < targetName.size() && stem > 0 && IsHighSurrogate(targetName[stem - 1]))
        --stem; // never split a surrogate pair
    return std::u16string(targetName.substr(0, stem)) + u'.' + OwnerTag(processId, number) +
           u".bak";
}

namespace {

bool ParseOwnedName(std::u16string_view name, std::u16string_view suffix, uint32_t& processId) {
    if (name.substr(0, kPrefix.size()) != kPrefix)
        return false;
    name.remove_prefix(kPrefix.size());
    uint32_t number;
    if (!TakeNumber(name, processId) || name.empty() || name.front() != u'-')
        return false;
    name.remove_prefix(1);
    return TakeNumber(name, number) && name == suffix;
}

} // namespace

std::u16string SaveRecordFileName(uint32_t processId, uint32_t number) {
    return OwnerTag(processId, number) + std::u16string(kRecordSuffix);
}

bool ParseSaveTempFileName(std::u16string_view name, uint32_t& processId) {
    return ParseOwnedName(name, kTempSuffix, processId);
}

bool ParseSaveRecordFileName(std::u16string_view name, uint32_t& processId) {
    return ParseOwnedName(name, kRecordSuffix, processId);
}

void RemoveStaleSaveFiles(const std::u16string& folder) {
    for (const SaveFileEntry& entry : SaveFilesIn(folder)) {
        uint32_t owner;
        if (ParseSaveTempFileName(entry.name, owner) && !SaveOwnerMayBeRunning(owner))
            DeleteSaveFile(entry.path);
    }
}
