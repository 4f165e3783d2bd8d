// The standard library reports a misuse (a string grown past its largest size, a
// position past its end, ...) through these helpers, which throw the standard exception
// classes. Those keep their message in the library's older reference-counted string,
// and the helpers bring that string's whole code (about 45 KB of the x86 program)
// along. Defined here, in the program alone, they throw an exception of our own with
// the library's message instead: still a std::exception, which the application's
// dispatcher shows in the error box as before. Nothing in the program catches the
// standard classes by name.
#include <bits/functexcept.h>

#include <exception>
#include <new>
#include <typeinfo>

namespace {

class LibraryMisuse : public std::exception {
 public:
  explicit LibraryMisuse(const char* message) : message_(message) {}
  const char* what() const noexcept override { return message_; }

 private:
  const char* message_;  // always one of the library's literals
};

}  // namespace

namespace std {

void __throw_bad_exception() {
  throw bad_exception();
}
void __throw_bad_alloc() {
  throw bad_alloc();
}
void __throw_bad_array_new_length() {
  throw bad_array_new_length();
}
void __throw_bad_cast() {
  throw bad_cast();
}
void __throw_bad_typeid() {
  throw bad_typeid();
}
void __throw_logic_error(const char* message) {
  throw LibraryMisuse(message);
}
void __throw_domain_error(const char* message) {
  throw LibraryMisuse(message);
}
void __throw_invalid_argument(const char* message) {
  throw LibraryMisuse(message);
}
void __throw_length_error(const char* message) {
  throw LibraryMisuse(message);
}
void __throw_out_of_range(const char* message) {
  throw LibraryMisuse(message);
}
// The format's numbers are left as they stand: formatting them is what brought the
// library's own small printf in.
void __throw_out_of_range_fmt(const char* format, ...) {
  throw LibraryMisuse(format);
}
void __throw_runtime_error(const char* message) {
  throw LibraryMisuse(message);
}
void __throw_range_error(const char* message) {
  throw LibraryMisuse(message);
}
void __throw_overflow_error(const char* message) {
  throw LibraryMisuse(message);
}
void __throw_underflow_error(const char* message) {
  throw LibraryMisuse(message);
}

}  // namespace std
