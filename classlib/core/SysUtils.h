// Exception classes of the class library, and the application-wide default handler hook.
#pragma once
#include <exception>
#include <functional>
#include <string>
#include <string_view>

namespace cl {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }
  virtual const char* ClassName() const noexcept { return "Exception"; }

 private:
  std::string message_;
};

#define CL_DECLARE_EXCEPTION(Name, Base)                                   \
  class Name : public Base {                                               \
   public:                                                                 \
    using Base::Base;                                                      \
    const char* ClassName() const noexcept override { return #Name; }      \
  };

CL_DECLARE_EXCEPTION(EListError, Exception)
CL_DECLARE_EXCEPTION(EStringListError, Exception)
CL_DECLARE_EXCEPTION(EStreamError, Exception)
CL_DECLARE_EXCEPTION(EReadError, EStreamError)
CL_DECLARE_EXCEPTION(EWriteError, EStreamError)
CL_DECLARE_EXCEPTION(EFOpenError, EStreamError)
CL_DECLARE_EXCEPTION(EFCreateError, EStreamError)
CL_DECLARE_EXCEPTION(EResNotFound, Exception)
CL_DECLARE_EXCEPTION(EConvertError, Exception)
CL_DECLARE_EXCEPTION(EInvalidOperation, Exception)
CL_DECLARE_EXCEPTION(EClassNotFound, Exception)
CL_DECLARE_EXCEPTION(EPropertyError, Exception)
CL_DECLARE_EXCEPTION(EOutOfMemory, Exception)
CL_DECLARE_EXCEPTION(EOSError, Exception)
CL_DECLARE_EXCEPTION(EInvalidCast, Exception)
CL_DECLARE_EXCEPTION(EComponentError, Exception)
CL_DECLARE_EXCEPTION(EFilerError, EStreamError)
// The silent exception: it stops an operation, and the default handler shows nothing for it.
CL_DECLARE_EXCEPTION(EAbort, Exception)

// Raises EAbort.
[[noreturn]] inline void Abort() { throw EAbort("Operation aborted"); }

// The local date and time now, in the user's long date format, ", " and the long time format.
std::string LongDateTimeText();

// The system's own text for an error code (GetLastError on Windows, errno elsewhere), without the line
// break it ends in; empty when the system has none.
std::string SystemErrorText(unsigned long code);
// A system error as file errors tell it: its number with the system's text, "system error 5: Access denied.".
std::string SystemErrorReason(unsigned long code);

// Ordinal comparison after folding ASCII letters to lower case (names, identifiers, list entries).
int CompareText(std::string_view a, std::string_view b) noexcept;
bool SameText(std::string_view a, std::string_view b) noexcept;
// ASCII letters folded to lower case; other bytes (UTF-8 sequences included) stay as they are.
std::string LowerCase(std::string_view s);

// A decimal integer with an optional sign (blanks around it allowed); EConvertError
// "'<text>' is not a valid integer value" for anything else, or a value outside 32 bits.
int StrToInt(std::string_view s);
// The same, giving `def` instead of raising.
int StrToIntDef(std::string_view s, int def) noexcept;

// Sets a busy flag for the life of a scope and clears it on every way out, exceptions included.
class TBusyScope {
 public:
  explicit TBusyScope(bool& flag) noexcept : flag_(flag) { flag_ = true; }
  ~TBusyScope() { flag_ = false; }
  TBusyScope(const TBusyScope&) = delete;
  TBusyScope& operator=(const TBusyScope&) = delete;

 private:
  bool& flag_;
};

// Formats like printf into a std::string (for the fixed message texts such as "List index out of bounds (%d)").
std::string Format(const char* fmt, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// The application-wide default handler: whatever a handler does not catch ends here. The application
// object installs one that shows the message and carries on; until then the message goes to stderr.
using ExceptionHandler = std::function<void(const std::exception&)>;
void SetExceptionHandler(ExceptionHandler handler);
// Call inside a catch block (or with a captured exception): hands the exception to the handler.
void HandleException(std::exception_ptr e = std::current_exception()) noexcept;

}  // namespace cl
