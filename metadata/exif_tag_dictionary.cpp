#include "metadata/exif_tag_dictionary.h"

namespace {

// Defined in this order in one file, so the main dictionary's pointers to the others are
// valid when it is built during static initialisation.
const ExifTagDictionary g_exif = {
    {0x010F, {"Manufacturer", "メーカー名", nullptr}},
    {0x0110, {"Model", "モデル名", nullptr}},
    {0x0112, {"Orientation", "画像方向", nullptr}},
    {0x829A, {"ExposureTime", "露出時間", nullptr}},
    {0x829D, {"FNumber", "F値", nullptr}},
    {0x8827, {"ISOSpeedRatings", "ISO感度", nullptr}},
    {0x9000, {"ExifVersion", "Exifバージョン", nullptr}},
    {0x9003, {"DateTimeOriginal", "原画像生成日時", nullptr}},
    {0x9004, {"DateTimeDigitized", "デジタルデータ生成日時", nullptr}},
    {0x9010, {"OffsetTime", "オフセット時間", nullptr}},
    {0x9011, {"OffsetTimeOriginal", "原画像オフセット時間", nullptr}},
    {0x9012, {"OffsetTimeDigitized", "デジタルデータオフセット時間", nullptr}},
    {0x9201, {"ShutterSpeedValue", "シャッタースピード", nullptr}},
    {0x9202, {"ApertureValue", "絞り値", nullptr}},
    {0x9203, {"BrightnessValue", "輝度値", nullptr}},
    {0x9204, {"ExposureBiasValue", "露出補正値", nullptr}},
    {0x9207, {"MeteringMode", "測光モード", nullptr}},
    {0x9209, {"Flash", "フラッシュ", nullptr}},
    {0x920A, {"FocalLength", "焦点距離", nullptr}},
    {0x927C, {"MakerNote", "メーカーノート", nullptr}},
    {0x9291, {"SubSecTimeOriginal", "原画像生成日時(サブ秒)", nullptr}},
    {0x9292, {"SubSecTimeDigitized", "デジタルデータ生成日時(サブ秒)", nullptr}},
    {0xA001, {"ColorSpace", "色空間", nullptr}},
    {0xA002, {"ExifImageWidth", "Exif画像幅", nullptr}},
    {0xA003, {"ExifImageHeight", "Exif画像高さ", nullptr}},
    {0xA301, {"SceneType", "シーンタイプ", nullptr}},
    {0xA402, {"ExposureMode", "露出モード", nullptr}},
    {0xA403, {"WhiteBalance", "ホワイトバランス", nullptr}},
    {0xA405, {"FocalLengthIn35mmFilm", "35mm換算焦点距離", nullptr}},
    {0xA432, {"LensSpecification", "レンズ仕様", nullptr}},
    {0xA433, {"LensMake", "レンズメーカー", nullptr}},
    {0xA434, {"LensModel", "レンズモデル", nullptr}},
};

const ExifTagDictionary g_gps = {
    {0x0001, {"GPSLatitudeRef", "緯度基準(N/S)", nullptr}},
    {0x0002, {"GPSLatitude", "緯度(度分秒)", nullptr}},
    {0x0003, {"GPSLongitudeRef", "経度基準(E/W)", nullptr}},
    {0x0004, {"GPSLongitude", "経度(度分秒)", nullptr}},
    {0x0005, {"GPSAltitudeRef", "高度基準", nullptr}},
    {0x0006, {"GPSAltitude", "高度", nullptr}},
};

// Empty: it only makes the interoperability directory read under its own base.
const ExifTagDictionary g_interop = {};

const ExifTagDictionary g_main = {
    {0x010F, {"Manufacturer", "メーカー名", nullptr}},
    {0x0110, {"Model", "モデル名", nullptr}},
    {0x0112, {"Orientation", "画像方向", nullptr}},
    {0x011A, {"XResolution", "X解像度", nullptr}},
    {0x011B, {"YResolution", "Y解像度", nullptr}},
    {0x0128, {"ResolutionUnit", "解像度単位", nullptr}},
    {0x0131, {"Software", "ソフトウェア", nullptr}},
    {0x0132, {"DateTime", "ファイル変更日時", nullptr}},
    {kExifIfdPointer, {"ExifIFDPointer", "Exif IFDへのポインタ", &g_exif}},
    {kGpsIfdPointer, {"GPSInfoIFDPointer", "GPS IFDへのポインタ", &g_gps}},
    {kInteropIfdPointer, {"InteroperabilityIFDPointer", "相互運用性IFDへのポインタ", &g_interop}},
};

}  // namespace

const ExifTagDictionary& MainTagDictionary() { return g_main; }
const ExifTagDictionary& ExifIfdTagDictionary() { return g_exif; }
const ExifTagDictionary& GpsTagDictionary() { return g_gps; }
const ExifTagDictionary& InteropTagDictionary() { return g_interop; }

const ExifTagDictionary& TagDictionaryOfBase(std::uint16_t base)
{
    switch (base) {
    case kExifIfdPointer:
        return g_exif;
    case kGpsIfdPointer:
        return g_gps;
    case kInteropIfdPointer:
        return g_interop;
    default:
        return g_main;
    }
}

const char* EnglishTagLabel(const ExifTagDictionary& dictionary, std::uint16_t tag)
{
    const auto found = dictionary.find(tag);
    return found == dictionary.end() ? "undefined" : found->second.english;
}
