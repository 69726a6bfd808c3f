#include "package/string_util.h"

void SplitString(const std::string& text, const std::string& separator, std::vector<std::string>& list)
{
    if (separator.empty()) {
        if (!text.empty())
            list.push_back(text);
        return;
    }
    size_t start = 0;
    for (;;) {
        size_t found = text.find(separator, start);
        if (found == std::string::npos)
            break;
        list.push_back(text.substr(start, found - start));
        start = found + separator.size();
    }
    if (start < text.size())
        list.push_back(text.substr(start));
}

std::wstring TrimWhiteSpace(const std::wstring& text)
{
    const wchar_t* blanks = L" \t\r\n\v\f";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::wstring::npos)
        return std::wstring();
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

bool IsDeletableFolderPath(const std::wstring& path)
{
    return TrimWhiteSpace(path).size() > 3;
}
