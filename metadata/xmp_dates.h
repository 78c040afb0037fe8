#pragma once
// The capture date of an XMP packet, given as Exif gives its DateTimeOriginal: the wall-clock
// time where the picture was taken, as the text "YYYY:MM:DD HH:MM:SS", so that the date order
// takes it as it takes an Exif date.

#include <optional>
#include <string>
#include <string_view>

// exif:DateTimeOriginal, else photoshop:DateCreated, else xmp:CreateDate, written as an
// attribute or as an element, under the prefixes every writer uses; nothing when none of them
// holds a date with a day.
std::optional<std::string> XmpCaptureDate(std::string_view packet);

// An XMP date ("2023-04-20T10:11:12", maybe with a fraction and a zone, maybe without seconds
// or a time) as Exif text. The zone is dropped: an Exif date keeps none, and the time as the
// camera's clock showed it is the one the picture's day is told by. Nothing for a date
// without a day or one that is not of this form.
std::optional<std::string> ExifTextOfXmpDate(std::string_view date);
