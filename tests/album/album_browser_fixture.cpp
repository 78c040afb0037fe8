// kasumiro_album_fixture OUTPUT_FOLDER: writes an organized output folder for the browser test
// of the album (tests/browser): real camera pictures, pictures in every orientation and on
// every side of the globe, sounds, films (a real one, a Live Photo's), files without a preview, a crowded day, hostile
// names and an old album left deep inside. The browser test builds the album with
// kasumiro-cli and looks at it in a real browser.

#include <windows.h>

#include <cstdio>
#include <string>

#include "base/gdiplus_headers.h"
#include "base/path_text.h"
#include "organize/folder_utils.h"
#include "tests/album/album_test_files.h"
#include "tests/metadata/exif_block_builder.h"
#include "tests/metadata/heif_box_builder.h"
#include "tests/metadata/metadata_test_data.h"

namespace {

int g_failures = 0;

void Write(const std::wstring& path, const Bytes& bytes)
{
    (void)CreateFolderPath(FolderOfPath(path));  // a folder not made fails the write, which is counted
    if (bytes.empty() || !WriteBytes(path, bytes)) {
        std::fwprintf(stderr, L"cannot write %ls\n", path.c_str());
        ++g_failures;
    }
}

// A file of another kind, dated by its last-write time.
void WriteDated(const std::wstring& path, const Bytes& bytes, WORD year, WORD month, WORD day, WORD hour)
{
    Write(path, bytes);
    SYSTEMTIME local{year, month, 0, day, hour, 0, 0, 0};
    FILETIME localTime{}, utc{};
    SystemTimeToFileTime(&local, &localTime);
    LocalFileTimeToFileTime(&localTime, &utc);
    const HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE || !SetFileTime(file, nullptr, nullptr, &utc))
        ++g_failures;
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

// A movie Debian's ffmpeg made at build time (tests/data/clips), as Wine reaches it.
std::wstring Clip(const std::string& name)
{
    std::string path = std::string(KASUMIRO_CLIPS_DIR) + "/" + name;
    std::wstring wide(path.begin(), path.end());  // the build tree's path is ASCII
    for (wchar_t& c : wide)
        c = c == L'/' ? L'\\' : c;
    return L"Z:" + wide;
}

// Half a second of silence, a WAV file any browser plays.
Bytes SilentWav()
{
    const std::uint32_t samples = 4000, rate = 8000;
    Bytes wav;
    // Byte by byte: GCC 12 misreads range inserts into small vectors as out of bounds.
    auto text = [&](const char* four) {
        for (int i = 0; i < 4; ++i)
            wav.push_back(static_cast<std::uint8_t>(four[i]));
    };
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            wav.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    auto u16 = [&](std::uint16_t v) {
        wav.push_back(static_cast<std::uint8_t>(v));
        wav.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    text("RIFF");
    u32(36 + samples);
    text("WAVE");
    text("fmt ");
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(rate);
    u32(rate);
    u16(1);
    u16(8);
    text("data");
    u32(samples);
    wav.insert(wav.end(), samples, 0x80);
    return wav;
}

PhotoFacts Taken(const std::string& when, std::uint16_t orientation = 1)
{
    PhotoFacts facts;
    facts.dateTimeOriginal = when;
    facts.orientation = orientation;
    return facts;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fwprintf(stderr, L"usage: kasumiro_album_fixture OUTPUT_FOLDER\n");
        return 2;
    }
    const std::wstring out = WithoutTrailingBackslash(argv[1]);
    const GdiplusSession gdiplus;

    // Real camera and phone pictures, with their own dates, orientations and positions; an
    // iPhone's HEIC and an AVIF among them.
    for (const char* real : {"jpeg/elodie_with-location.jpg", "jpeg/sigal_iptcTest_1.jpg", "jpeg/mde_Apple_iPhone_4.jpg",
                             "jpeg/goexif_has-lens-info.jpg", "jpeg/ianare_Canon_40D.jpg", "heif/ianare_IMG_5195.HEIC",
                             "avif/libavif_paris_icc_exif_xmp.avif"}) {
        const std::string name(real);
        Write(out + L"\\camera\\" + std::wstring(name.begin() + 5, name.end()), ReadWholeFile(RealTestFile(real)));
    }

    // One day of every orientation, and a day around the globe.
    for (std::uint16_t orientation = 1; orientation <= 8; ++orientation)
        Write(out + L"\\2024\\05\\turned_" + std::to_wstring(orientation) + L".jpg",
              PhotoJpeg(640, 480, Taken("2024:05:01 10:0" + std::to_string(orientation) + ":00", orientation)));
    const struct {
        const wchar_t* name;
        PhotoFacts::Position position;
    } places[] = {{L"tokyo", {{35, 40, 5245}, 'N', {139, 46, 165}, 'E'}},
                  {L"sydney", {{33, 51, 3500}, 'S', {151, 12, 4000}, 'E'}},
                  {L"lima", {{12, 2, 4600}, 'S', {77, 2, 3700}, 'W'}},
                  {L"reykjavik", {{64, 8, 4700}, 'N', {21, 56, 3800}, 'W'}}};
    int hour = 10;
    for (const auto& place : places) {
        PhotoFacts facts = Taken("2024:05:02 " + std::to_string(hour++) + ":00:00");
        facts.gps = place.position;
        Write(out + L"\\2024\\05\\" + place.name + L".jpg", PhotoJpeg(800, 600, facts));
    }

    // Sounds, films and files without a preview; a HEIF photo with a position but no picture.
    WriteDated(out + L"\\2024\\05\\voice memo.wav", SilentWav(), 2024, 5, 3, 9);
    WriteDated(out + L"\\2024\\05\\clip.mp4", Bytes(64, 0), 2024, 5, 3, 10);  // no movie: a player
    // A phone's portrait movie, shown as its poster; a Live Photo, a photo and its movie.
    WriteDated(out + L"\\2024\\05\\walk.mp4", ReadWholeFile(Clip("quarters_h264_rot90.mp4")), 2024, 5, 3, 10);
    // A camcorder's AVCHD movie, which browsers do not play: its poster, and the file when pressed.
    WriteDated(out + L"\\2024\\05\\00001.MTS", ReadWholeFile(Clip("quarters_h264.m2ts")), 2024, 5, 3, 10);
    Write(out + L"\\2024\\05\\IMG_0100.JPG", PhotoJpeg(640, 480, Taken("2024:05:03 13:00:00")));
    WriteDated(out + L"\\2024\\05\\IMG_0100.MOV", ReadWholeFile(Clip("quarters_short_h264_rot90.mp4")), 2024, 5, 3,
               13);
    WriteDated(out + L"\\2024\\05\\notes.txt", Bytes{'h', 'i'}, 2024, 5, 3, 11);
    PhotoFacts phone = Taken("2024:05:03 12:00:00");
    phone.gps = places[0].position;
    Write(out + L"\\2024\\05\\phone.heic", MakeHeifFile(AsHeifItem(PhotoExifBlock(phone))));

    // Names that must stay data: in a link, in a query, in a page's text.
    Write(out + L"\\2024\\06\\it's #1 & more.jpg", PhotoJpeg(640, 480, Taken("2024:06:01 09:00:00")));
    Write(out + L"\\2024\\06\\写真 (2) 100%.jpg", PhotoJpeg(480, 640, Taken("2024:06:01 10:00:00")));
    WriteDated(out + L"\\2024\\06\\x' onclick='alert(1) &amp;.txt", Bytes{'x'}, 2024, 6, 1, 11);
    WriteDated(out + L"\\2024\\06\\a&b x#1.txt", Bytes{'y'}, 2024, 6, 1, 12);
    // A camera whose make is markup: the viewer's facts show it as text.
    PhotoFacts markup = Taken("2024:06:01 13:00:00");
    markup.make = "<img src=x onerror=\"window.pwned=2\">";
    markup.model = "Model </dd><b>9</b>";
    Write(out + L"\\2024\\06\\odd camera.jpg", PhotoJpeg(640, 480, markup));

    // A crowded day: more files than the order of equal times is kept for.
    for (int i = 0; i < 36; ++i)
        Write(out + L"\\2024\\07\\burst_" + std::to_wstring(i) + L".jpg",
              PhotoJpeg(320, 240, Taken("2024:07:07 12:00:" + std::string(i < 10 ? "0" : "") + std::to_string(i))));

    // An old album deep inside, and the record file: neither belongs in the album.
    Write(out + L"\\2024\\07\\PhotoAlbum\\thumb\\old.jpg", PhotoJpeg(320, 240, Taken("2024:07:08 12:00:00")));
    Write(out + L"\\Sortavel.dat", Bytes{0, 0, 1, 0});

    return g_failures == 0 ? 0 : 1;
}
