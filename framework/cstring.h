// CString: the wide string of the GUI framework. Format follows the Windows
// wide-printf convention (%s takes a wide string, %S a narrow one).
#pragma once

#include <string>
#include <type_traits>

class CString {
 public:
  CString() = default;
  CString(const wchar_t* text) : m_str(text ? text : L"") {}
  CString(const wchar_t* text, int length) : m_str(text, static_cast<size_t>(length)) {}
  CString(std::wstring text) : m_str(std::move(text)) {}
  CString(wchar_t ch, int repeat = 1) : m_str(static_cast<size_t>(repeat), ch) {}

  int GetLength() const { return static_cast<int>(m_str.size()); }
  bool IsEmpty() const { return m_str.empty(); }
  void Empty() { m_str.clear(); }
  const wchar_t* GetString() const { return m_str.c_str(); }
  operator const wchar_t*() const { return m_str.c_str(); }
  const std::wstring& str() const { return m_str; }
  wchar_t operator[](int i) const { return m_str[static_cast<size_t>(i)]; }

  CString& operator=(const wchar_t* text) {
    m_str = text ? text : L"";
    return *this;
  }
  CString& operator+=(const CString& other) {
    m_str += other.m_str;
    return *this;
  }
  CString& operator+=(const wchar_t* text) {
    if (text) m_str += text;
    return *this;
  }
  CString& operator+=(wchar_t ch) {
    m_str += ch;
    return *this;
  }

  CString Left(int n) const { return CString(m_str.substr(0, Clamp(n))); }
  CString Mid(int first) const { return CString(m_str.substr(Clamp(first))); }
  int Find(wchar_t ch, int start = 0) const {
    size_t p = m_str.find(ch, Clamp(start));
    return p == std::wstring::npos ? -1 : static_cast<int>(p);
  }
  int ReverseFind(wchar_t ch) const {
    size_t p = m_str.rfind(ch);
    return p == std::wstring::npos ? -1 : static_cast<int>(p);
  }

  // Formats with a printf template in the Windows wide convention. CString
  // arguments may be passed directly; they are handed on as wide strings.
  template <class... Args>
  void Format(const wchar_t* format, const Args&... args) {
    FormatRaw(format, Pass(args)...);
  }

  friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
  friend bool operator==(const CString& a, const wchar_t* b) { return a.m_str == (b ? b : L""); }
  friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
  friend bool operator!=(const CString& a, const wchar_t* b) { return !(a == b); }
  friend bool operator<(const CString& a, const CString& b) { return a.m_str < b.m_str; }
  friend CString operator+(const CString& a, const CString& b) { return CString(a.m_str + b.m_str); }
  friend CString operator+(const CString& a, const wchar_t* b) { return CString(a.m_str + (b ? b : L"")); }
  friend CString operator+(const wchar_t* a, const CString& b) { return CString((a ? a : L"") + b.m_str); }

 private:
  size_t Clamp(int n) const {
    if (n < 0) return 0;
    return static_cast<size_t>(n) > m_str.size() ? m_str.size() : static_cast<size_t>(n);
  }
  static const wchar_t* Pass(const CString& s) { return s.GetString(); }
  template <class T>
  static std::decay_t<const T> Pass(const T& value) {
    using D = std::decay_t<const T>;
    static_assert(std::is_arithmetic_v<D> || std::is_pointer_v<D> || std::is_enum_v<D>,
                  "Format takes numbers, pointers and strings only");
    return value;
  }
  void FormatRaw(const wchar_t* format, ...);

  std::wstring m_str;
};

// Translates a Windows wide-printf template into the C library's convention:
// %s (wide in Windows) becomes %ls, %S (narrow in Windows) becomes %s.
std::wstring TranslateWideFormat(const wchar_t* format);
