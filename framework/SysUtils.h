#pragma once
// String, number and file helpers shared by every layer, and the framework's
// exception classes. Texts are strings of the system ANSI code page.

#include <stdexcept>
#include <string>
#include <string_view>

// Base of every error the framework raises. The message is shown to the user as it is.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

class EConvertError : public Exception { using Exception::Exception; };
class EIniFileException : public Exception { using Exception::Exception; };
class EFCreateError : public Exception { using Exception::Exception; };
class EFOpenError : public Exception { using Exception::Exception; };
class ERegistryException : public Exception { using Exception::Exception; };
class EStreamError : public Exception { using Exception::Exception; };
class EOutOfResources : public Exception { using Exception::Exception; };

// printf-style formatting into a std::string.
std::string Format(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Blanks and control characters (everything up to ' ') are cut off.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

std::string IntToStr(long long value);
// Decimal, or hexadecimal after "$", "0x", "0X", "x" or "X"; optional sign and
// leading blanks; nothing may follow the digits. Out-of-range values fail, except
// that hexadecimal values up to 0xFFFFFFFF wrap as 32-bit patterns.
bool TryStrToInt(std::string_view s, int& value);
// Raises EConvertError "'%s' is not a valid integer value".
int StrToInt(const std::string& s);
int StrToIntDef(std::string_view s, int fallback);

// The platform's text for an error code (without a trailing line break).
std::string SysErrorMessage(unsigned long error);

// The one conversion between the two kinds of text: data texts (std::string) are
// in the system's ANSI code page, the program's own texts are wide.
std::wstring AnsiToWide(std::string_view s);
std::string WideToAnsi(std::wstring_view s);

// True when the byte is the first byte of a two-byte character in the ANSI code page.
bool IsLeadByte(char c);

// Paths, with '\' and ':' as separators.
std::string ExtractFilePath(const std::string& path);  // with its trailing separator
std::string ExtractFileName(const std::string& path);
std::string IncludeTrailingBackslash(const std::string& path);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// The full file name of the running program.
std::string ModuleFileName();
