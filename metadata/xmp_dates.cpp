#include "metadata/xmp_dates.h"

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// `count` digits at `at`.
bool DigitsAt(std::string_view text, std::size_t at, std::size_t count)
{
    if (at > text.size() || count > text.size() - at)
        return false;
    for (std::size_t i = 0; i < count; ++i) {
        if (!IsDigit(text[at + i]))
            return false;
    }
    return true;
}

bool CharAt(std::string_view text, std::size_t at, char c)
{
    return at < text.size() && text[at] == c;
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// True for what may follow the seconds: nothing, a fraction, a zone ("Z", "+09:00", "+0900",
// "+09"), or a fraction and a zone.
bool IsFractionAndZone(std::string_view rest)
{
    std::size_t at = 0;
    if (CharAt(rest, 0, '.') || CharAt(rest, 0, ',')) {
        at = 1;
        if (!DigitsAt(rest, at, 1))
            return false;
        while (at < rest.size() && IsDigit(rest[at]))
            ++at;
    }
    const std::string_view zone = rest.substr(at);
    if (zone.empty() || zone == "Z")
        return true;
    if (zone[0] != '+' && zone[0] != '-')
        return false;
    return (zone.size() == 3 && DigitsAt(zone, 1, 2)) || (zone.size() == 5 && DigitsAt(zone, 1, 4)) ||
           (zone.size() == 6 && DigitsAt(zone, 1, 2) && zone[3] == ':' && DigitsAt(zone, 4, 2));
}

// The value of one property: `name="value"` (or in single quotes) in a tag, or
// `<name>value</name>`, at the first place the name stands as one. A value without its end
// is taken as none, so that the packet is read once at most however often the name stands.
std::optional<std::string_view> PropertyValue(std::string_view packet, std::string_view name)
{
    for (std::size_t at = packet.find(name); at != std::string_view::npos; at = packet.find(name, at + 1)) {
        // A name inside a longer one, or in a closing tag, is not the property.
        if (at == 0 || !(packet[at - 1] == '<' || IsSpace(packet[at - 1])))
            continue;
        const bool element = packet[at - 1] == '<';
        std::size_t after = at + name.size();
        while (after < packet.size() && IsSpace(packet[after]))
            ++after;
        if (after < packet.size() && element && packet[after] == '>') {
            const std::size_t end = packet.find('<', after + 1);
            if (end == std::string_view::npos)
                return std::nullopt;
            return packet.substr(after + 1, end - after - 1);
        }
        if (after < packet.size() && !element && packet[after] == '=') {
            ++after;
            while (after < packet.size() && IsSpace(packet[after]))
                ++after;
            if (after == packet.size() || (packet[after] != '"' && packet[after] != '\''))
                continue;
            const std::size_t end = packet.find(packet[after], after + 1);
            if (end == std::string_view::npos)
                return std::nullopt;
            return packet.substr(after + 1, end - after - 1);
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ExifTextOfXmpDate(std::string_view date)
{
    date = Trimmed(date);
    // YYYY-MM-DD
    if (!DigitsAt(date, 0, 4) || !CharAt(date, 4, '-') || !DigitsAt(date, 5, 2) || !CharAt(date, 7, '-') ||
        !DigitsAt(date, 8, 2))
        return std::nullopt;
    std::string text = std::string(date.substr(0, 4)) + ":" + std::string(date.substr(5, 2)) + ":" +
                       std::string(date.substr(8, 2)) + " ";
    if (date.size() == 10)
        return text + "00:00:00";
    // Thh:mm, then :ss when given, then a fraction and a zone when given.
    if (!CharAt(date, 10, 'T') || !DigitsAt(date, 11, 2) || !CharAt(date, 13, ':') || !DigitsAt(date, 14, 2))
        return std::nullopt;
    text += std::string(date.substr(11, 5));
    std::size_t rest = 16;
    if (CharAt(date, 16, ':')) {
        if (!DigitsAt(date, 17, 2))
            return std::nullopt;
        text += std::string(date.substr(16, 3));
        rest = 19;
    } else {
        text += ":00";
    }
    if (!IsFractionAndZone(date.substr(rest)))
        return std::nullopt;
    return text;
}

std::optional<std::string> XmpCaptureDate(std::string_view packet)
{
    for (const std::string_view name : {"exif:DateTimeOriginal", "photoshop:DateCreated", "xmp:CreateDate"}) {
        if (const std::optional<std::string_view> value = PropertyValue(packet, name)) {
            if (std::optional<std::string> text = ExifTextOfXmpDate(*value))
                return text;
        }
    }
    return std::nullopt;
}
