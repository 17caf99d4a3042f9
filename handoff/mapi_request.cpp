#include "handoff/mapi_request.h"

namespace {

const char kSignature[] = "MirthMapi1\n";

void Append(std::string& bytes, const std::string& field)
{
    bytes += std::to_string(field.size());
    bytes += ':';
    bytes += field;
}

bool Take(const std::string& bytes, size_t& at, std::string& field)
{
    size_t colon = bytes.find(':', at);
    if (colon == std::string::npos || colon == at || colon - at > 9)
        return false;
    size_t length = 0;
    for (size_t i = at; i < colon; ++i) {
        if (bytes[i] < '0' || bytes[i] > '9')
            return false;
        length = length * 10 + static_cast<size_t>(bytes[i] - '0');
    }
    if (length > bytes.size() - colon - 1)
        return false;
    field = bytes.substr(colon + 1, length);
    at = colon + 1 + length;
    return field.find('\0') == std::string::npos;
}

}  // namespace

std::string EncodeMapiRequest(const MapiRequest& request)
{
    std::string bytes = kSignature;
    for (const std::string* field :
         {&request.subject, &request.text, &request.attachmentPath, &request.attachmentName})
        Append(bytes, *field);
    return bytes;
}

bool DecodeMapiRequest(const std::string& bytes, MapiRequest& request)
{
    if (bytes.compare(0, sizeof kSignature - 1, kSignature) != 0)
        return false;
    size_t at = sizeof kSignature - 1;
    for (std::string* field : {&request.subject, &request.text, &request.attachmentPath, &request.attachmentName})
        if (!Take(bytes, at, *field))
            return false;
    return at == bytes.size();
}
