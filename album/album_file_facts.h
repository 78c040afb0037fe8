#pragma once
// What the picture viewer tells of a file beside the picture: when it was taken and where that
// date came from, the camera and its exposure, the picture's size in pixels and the file's in
// bytes. Written as data for the viewer, which shows every value as text.

#include <cstdint>
#include <string>

#include "album/album_model.h"

// Make and model as one name: the model alone when it already starts with the make's first
// word ("Canon" + "Canon EOS 40D", "NIKON CORPORATION" + "NIKON D70"), else both.
std::string CameraName(const std::string& make, const std::string& model);

// The exposure as a photographer reads it: "1/125 s", "0.4 s", "2 s"; "f/1.8"; "4.2 mm".
std::wstring ExposureTimeText(const ExifRational& seconds);
std::wstring FNumberText(const ExifRational& fNumber);
std::wstring FocalLengthText(const ExifRational& millimetres);
// "532 バイト", "7.8 KB", "2.3 MB", "1.2 GB" (in units of 1,024, as Explorer counts them).
std::wstring ByteSizeText(std::uint64_t bytes);

// The file's facts as one JSON object of display texts, every text of the file's own escaped;
// "source" is one of "camera", "sidecar", "name", "lastWrite".
std::wstring ViewerFactsJson(const AlbumFile& file);
