#include "tools/mkinstaller/config_builder.h"

#include "package/base64.h"
#include "package/code_page.h"
#include "package/conversion_pool.h"
#include "tools/mkinstaller/utf8_check.h"

namespace {

bool ToCodePage(const std::string& utf8, unsigned codePage, std::string& out, std::string& error)
{
    if (!IsValidUtf8(utf8)) {
        error = "text is not UTF-8: " + utf8;
        return false;
    }
    std::wstring wide;
    CodePageToWide(kCodePageUtf8, utf8.c_str(), wide);
    if (!WideToCodePageExact(codePage, wide.c_str(), out)) {
        error = "code page " + std::to_string(codePage) + " cannot represent \"" + utf8 + "\"";
        return false;
    }
    return true;
}

JsonValue ShortcutList(const std::vector<ShortcutEntry>& entries)
{
    JsonValue list = JsonValue::MakeArray();
    for (const ShortcutEntry& shortcut : entries) {
        JsonValue entry;
        entry.Member("file") = JsonValue(shortcut.file);
        entry.Member("name") = JsonValue(shortcut.name);
        list.Append(entry);
    }
    return list;
}

}  // namespace

bool ParseShortcutArgument(const std::string& text, ShortcutEntry& entry, std::string& error)
{
    size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == text.size()) {
        error = "a shortcut is given as NAME=FILE: " + text;
        return false;
    }
    entry.name = text.substr(0, equals);
    entry.file = text.substr(equals + 1);
    if (entry.name.find_first_of("\\/:*?\"<>|") != std::string::npos) {
        error = "a shortcut name becomes a file name and cannot hold \\ / : * ? \" < > |: " + entry.name;
        return false;
    }
    return true;
}

bool EncodeLicence(const std::string& utf8Text, std::string& base64, std::string& error)
{
    std::string text = utf8Text;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    if (!IsValidUtf8(text)) {
        error = "the licence text is not UTF-8";
        return false;
    }
    if (text.find('\0') != std::string::npos) {
        error = "the licence text holds a zero byte";
        return false;
    }
    std::string crlf;
    crlf.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            crlf += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            crlf += "\r\n";
        } else {
            crlf += c;
        }
    }
    base64 = Base64EncodeBytes(crlf);
    return true;
}

bool BuildConfig(const ConfigOptions& options, JsonValue& config, std::string& error)
{
    config = JsonValue();
    config.Member("mode") = JsonValue(1);
    if (!options.lastrun.empty())
        config.Member("lastrun") = JsonValue(options.lastrun);
    if (options.hasLicence) {
        std::string protocol;
        if (!EncodeLicence(options.licenceText, protocol, error))
            return false;
        config.Member("protocol") = JsonValue(protocol);
    }
    if (!options.desktop.empty() || !options.taskbar.empty()) {
        JsonValue& shortcut = config.Member("shortcut");
        shortcut.Member("desktop") = ShortcutList(options.desktop);
        shortcut.Member("taskbar") = ShortcutList(options.taskbar);
    }
    return true;
}

bool ReencodeStrings(JsonValue& value, unsigned codePage, std::string& error)
{
    switch (value.GetType()) {
    case JsonValue::kString: {
        std::string converted;
        if (!ToCodePage(value.AsCString(), codePage, converted, error))
            return false;
        value = JsonValue(converted);
        return true;
    }
    case JsonValue::kArray:
        for (uint32_t i = 0; i < value.Size(); ++i)
            if (!ReencodeStrings(value.Element(i), codePage, error))
                return false;
        return true;
    case JsonValue::kObject: {
        std::vector<std::string> names;
        value.GetMemberNames(names);
        JsonValue converted = JsonValue::MakeObject();
        for (const std::string& name : names) {
            std::string key;
            if (!ToCodePage(name, codePage, key, error))
                return false;
            JsonValue member = value.Find(name.c_str());
            if (!ReencodeStrings(member, codePage, error))
                return false;
            converted.Member(key) = member;
        }
        value = converted;
        return true;
    }
    default:
        return true;
    }
}

JsonValue DecodeStringsForDisplay(const JsonValue& value, unsigned codePage)
{
    switch (value.GetType()) {
    case JsonValue::kString:
        return JsonValue(Narrow(Widen(value.AsCString(), codePage), kCodePageUtf8));
    case JsonValue::kArray: {
        JsonValue list = JsonValue::MakeArray();
        for (uint32_t i = 0; i < value.Size(); ++i)
            list.Append(DecodeStringsForDisplay(value.Element(i), codePage));
        return list;
    }
    case JsonValue::kObject: {
        std::vector<std::string> names;
        value.GetMemberNames(names);
        JsonValue object = JsonValue::MakeObject();
        for (const std::string& name : names)
            object.Member(Narrow(Widen(name, codePage), kCodePageUtf8)) =
                DecodeStringsForDisplay(value.Find(name.c_str()), codePage);
        return object;
    }
    default:
        return value;
    }
}
