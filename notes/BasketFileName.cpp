#include "notes/BasketFileName.h"

#include "framework/SysUtils.h"
#include "shell/funcs.h"

namespace {

const char kReservedCharacters[] = "\\/:*?<>|";
// "yyyy-mm-dd hh_nn_ss " before the title; 'd' stands for a digit.
constexpr char kTimestampPattern[] = "dddd-dd-dd dd_dd_dd ";
constexpr size_t kTimestampLength = sizeof(kTimestampPattern) - 1;

bool HasTimestamp(const std::string& stem)
{
    if (stem.size() < kTimestampLength)
        return false;
    for (size_t i = 0; i < kTimestampLength; ++i) {
        const bool digit = stem[i] >= '0' && stem[i] <= '9';
        if (kTimestampPattern[i] == 'd' ? !digit : stem[i] != kTimestampPattern[i])
            return false;
    }
    return true;
}

// Replaces the first two occurrences of one character by another.
std::string ReplaceFirstTwo(std::string text, char from, char to)
{
    size_t at = 0;
    for (int n = 0; n < 2; ++n) {
        at = text.find(from, at);
        if (at == std::string::npos)
            break;
        text[at] = to;
    }
    return text;
}

} // namespace

std::string EncodeFileName(const std::string& text)
{
    std::string result = text;
    for (const char* c = kReservedCharacters; *c; ++c) {
        const std::string encoded = "%(" + std::to_string(static_cast<unsigned char>(*c)) + ")";
        for (size_t pos = result.find(*c); pos != std::string::npos; pos = result.find(*c, pos))
            result.replace(pos, 1, encoded);
    }
    return result;
}

std::string DecodeFileName(const std::string& text)
{
    std::string result = text;
    // Each pass starts again at the front, since a decoded character can open a
    // new sequence with what follows it. A "%(" never closed ends the decoding and
    // stays as it is.
    for (;;) {
        const size_t p = result.find("%(");
        if (p == std::string::npos)
            return result;
        const int q1 = PosFrom(")", result, static_cast<int>(p) + 3);
        if (q1 == 0)
            return result;
        const size_t q = static_cast<size_t>(q1 - 1);
        const int code = StrToIntDef(result.substr(p + 2, q - p - 2), 32);
        result.replace(p, q - p + 1, 1, static_cast<char>(code & 0xFF));
    }
}

std::string BasketFileName(const SYSTEMTIME& when, const std::string& title)
{
    return Format("%04u-%02u-%02u %02u_%02u_%02u ", when.wYear, when.wMonth, when.wDay, when.wHour, when.wMinute,
                  when.wSecond) +
           EncodeFileName(title) + kBasketFileExtension;
}

std::string BasketFileTitle(const std::string& fileName)
{
    std::string stem = ExtractFileName(fileName);
    const size_t extension = sizeof(kBasketFileExtension) - 1;
    if (stem.size() >= extension && lstrcmpiA(stem.c_str() + stem.size() - extension, kBasketFileExtension) == 0)
        stem.resize(stem.size() - extension);
    return DecodeFileName(HasTimestamp(stem) ? stem.substr(kTimestampLength) : stem);
}

std::string DisplayTextFromFileName(const std::string& name)
{
    return DecodeFileName(ReplaceFirstTwo(name, '_', ':'));
}

std::string FileNameFromDisplayText(const std::string& text)
{
    return EncodeFileName(ReplaceFirstTwo(text, ':', '_'));
}
