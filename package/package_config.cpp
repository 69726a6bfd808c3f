#include "package/package_config.h"

#include "package/base64.h"
#include "package/conversion_pool.h"

PackageRole DecideRole(const JsonValue& config)
{
    if (!config.IsMember("mode"))
        return PackageRole::kRejected;
    int32_t mode = static_cast<int32_t>(static_cast<uint32_t>(config.Find("mode").AsInt64()));
    return mode != 0 ? PackageRole::kInstaller : PackageRole::kUninstaller;
}

std::wstring DecodeBase64Utf8(const JsonValue& value)
{
    if (value.GetType() != JsonValue::kString)
        return std::wstring();
    ConversionPool pool;
    return WidenText(pool, Base64Decode(value.AsCString(), pool), kCodePageUtf8);
}

std::wstring DecodeProtocol(const JsonValue& config)
{
    return DecodeBase64Utf8(config.Find("protocol"));
}

std::wstring DecodeAnsi(const JsonValue& value)
{
    if (value.GetType() != JsonValue::kString)
        return std::wstring();
    ConversionPool pool;
    return WidenText(pool, value.AsCString(), kCodePageAnsi);
}

std::string EncodeBase64Utf8(const std::wstring& text)
{
    ConversionPool pool;
    return Base64Encode(NarrowText(text.c_str(), pool, kCodePageUtf8), pool);
}
