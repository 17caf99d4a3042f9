#include "handoff/mapi_request.h"

namespace {

const char kSignature[] = "MirthMapi2\n";
// Far more attachments than a strip ever has.
const size_t kMaxAttachments = 64;

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
    Append(bytes, request.subject);
    Append(bytes, request.text);
    Append(bytes, std::to_string(request.attachments.size()));
    for (const MapiAttachment& attachment : request.attachments) {
        Append(bytes, attachment.path);
        Append(bytes, attachment.name);
    }
    return bytes;
}

bool DecodeMapiRequest(const std::string& bytes, MapiRequest& request)
{
    if (bytes.compare(0, sizeof kSignature - 1, kSignature) != 0)
        return false;
    size_t at = sizeof kSignature - 1;
    std::string count;
    if (!Take(bytes, at, request.subject) || !Take(bytes, at, request.text) || !Take(bytes, at, count) ||
        count.empty() || count.size() > 2 || count.find_first_not_of("0123456789") != std::string::npos ||
        std::stoul(count) > kMaxAttachments)
        return false;
    request.attachments.assign(std::stoul(count), MapiAttachment());
    for (MapiAttachment& attachment : request.attachments)
        if (!Take(bytes, at, attachment.path) || !Take(bytes, at, attachment.name))
            return false;
    return at == bytes.size();
}
