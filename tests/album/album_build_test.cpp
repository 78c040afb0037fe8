// The album of an output folder, built for real from real files: its pages text for text and
// byte for byte, its thumbnails, what it leaves out, and what it does when it cannot go on.

#include "album/album_build.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "album/album_model.h"
#include "base/gdiplus_headers.h"
#include "base/text_encoding.h"
#include "organize/folder_utils.h"
#include "tests/album/album_test_files.h"
#include "tests/metadata/exif_block_builder.h"
#include "tests/metadata/heif_box_builder.h"
#include "tests/metadata/metadata_test_data.h"
#include "tests/organize/organize_fixture.h"
#include "tests/support/host_files.h"
#include "tests/support/screenshot.h"

namespace {

// A month page's head names its script too.
std::wstring kHeader(const std::wstring& title, const std::wstring& root, bool monthScript = false)
{
    return L"<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"UTF-8\" />\n"
           L"<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\" />\n<title>" +
           title + L"</title>\n<link href=\"" + root + L"/make_photo_album.css\" rel=\"stylesheet\" type=\"text/css\" />\n" +
           (monthScript ? L"<script src=\"" + root + L"/album_month.js\" defer></script>\n" : L"") +
           L"</head>\n<body>\n"
           L"<div class=\"header\">\n<div class=\"frame\">\n<h1>写真一覧</h1></div>\n</div>\n<div class=\"main_frame\">\n";
}

const std::wstring kFooter =
    L"</div>\n<div class=\"footer\">\n<div class=\"frame\">\n\n<h1 class='favlink'><a href='https://kasumiro.jp/Lumidex/'>"
    L"Kasumiro</a></h1>\n</div>\n</div>\n</body>\n</html>\n";

PhotoFacts Taken(const std::string& when)
{
    PhotoFacts facts;
    facts.dateTimeOriginal = when;
    return facts;
}

class AlbumBuildTest : public OrganizeFixture {
protected:
    void SetUp() override
    {
        OrganizeFixture::SetUp();
        CreateDirectoryW(output_.c_str(), nullptr);
    }
    std::wstring Album() const { return output_ + L"\\PhotoAlbum"; }
    StatusCode Build(bool includeNoPreview = true, const std::wstring& templateFolder = L"")
    {
        return BuildPhotoAlbum(progress_, output_, includeNoPreview, templateFolder).status;
    }
    std::wstring Picture(const std::wstring& relative, const PhotoFacts& facts, int width = 400, int height = 300)
    {
        return MakeFile(output_ + L"\\" + relative, PhotoJpeg(width, height, facts));
    }
    // A file of any other kind, dated by its last-write time.
    std::wstring Written(const std::wstring& relative, WORD year, WORD month, WORD day, WORD hour)
    {
        const std::wstring path = MakeFile(output_ + L"\\" + relative, Bytes{'I', 'D', '3', 0});
        SetLocalLastWrite(path, year, month, day, hour, 0, 0);
        return path;
    }
    std::wstring Page(const std::wstring& relative) const
    {
        const Bytes bytes = ReadBytes(Album() + L"\\" + relative);
        return Utf8ToWide(std::string(bytes.begin(), bytes.end()));
    }
    // Every page of the album, one after another.
    std::wstring AllPages() const
    {
        std::wstring pages;
        for (const auto& [name, bytes] : FolderSnapshot(Album())) {
            if (name.ends_with(L".html"))
                pages += Utf8ToWide(std::string(bytes.begin(), bytes.end()));
        }
        return pages;
    }
    RecordingProgress progress_;
};

TEST_F(AlbumBuildTest, PagesAreTheFrameTheIndexAndTheMonthsTextForText)
{
    Picture(L"2021\\03\\IMG_0042.JPG", Taken("2021:03:05 09:00:00"));
    Written(L"2021\\03\\memo.mp3", 2021, 3, 5, 8);  // recorded before the picture was taken
    ASSERT_EQ(Build(), kStatusOk);

    std::wstring months;
    for (int m = 1; m <= 12; ++m) {
        if (m == 3)
            months += L"<a href='./2021/202103.html'><div class='month_item'>3月<br/>(2)</div></a>\n";
        else
            months += L"<div class='month_item'>" + std::to_wstring(m) + L"月<br/>&nbsp;</div>\n";
    }
    EXPECT_EQ(Page(L"index.html"), kHeader(L"写真一覧", L".") + L"<div class='month_list'>\n<div class='year_item'>2021年</div>\n" +
                                       months + L"</div>\n" + kFooter);

    // The month page: CR LF line ends, the sound first, the picture's thumbnail named _1.
    const std::wstring month =
        kHeader(L"写真一覧 - 2021年03月", L"..", true) +
        L"<div class='photo_list'>\n<div class='year_item'>2021年03月05日</div>\n"
        L"<div class='picture_item_audio'><img src='../img_audio.png' alt='' /><audio src='../../2021/03/memo.mp3' "
        L"controls></audio></div>\n"
        L"<span class='picture_item_wrap'><a href='../picture.html?img=../2021/03/IMG_0042.JPG&page=2021/202103&at=0'>"
        L"<img class='picture_item' src='../thumb/2021/20210305_1.jpg' width='320' height='240' loading='lazy' "
        L"decoding='async' alt='IMG_0042.JPG' /></a></span>\n</div>\n" +
        kFooter;
    std::wstring crlf;
    for (wchar_t c : month)
        crlf += c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c);
    EXPECT_EQ(Page(L"2021\\202103.html"), crlf);
    const Bytes index = ReadBytes(Album() + L"\\index.html");
    EXPECT_EQ(std::count(index.begin(), index.end(), '\r'), 0);
    EXPECT_EQ(Bytes(index.begin(), index.begin() + 3), (Bytes{0x3C, 0x21, 0x44}));  // no byte-order mark

    const PixelSize thumbnail = PictureSize(Album() + L"\\thumb\\2021\\20210305_1.jpg");
    EXPECT_EQ(thumbnail.width, 320u);
    EXPECT_EQ(thumbnail.height, 240u);
    EXPECT_FALSE(FileExists(Album() + L"\\thumb\\2021\\20210305_0.jpg"));  // a sound has none

    // The viewer pages of the template are marked as this computer's, 26 bytes each.
    EXPECT_EQ(ReadBytes(Album() + L"\\picture.html:Zone.Identifier"),
              Bytes({'[', 'Z', 'o', 'n', 'e', 'T', 'r', 'a', 'n', 's', 'f', 'e', 'r', ']', '\r', '\n', 'Z', 'o', 'n',
                     'e', 'I', 'd', '=', '0', '\r', '\n'}));
    EXPECT_TRUE(FileExists(Album() + L"\\make_photo_album.css"));
    EXPECT_TRUE(FileExists(Album() + L"\\unknown.html"));

    const std::wstring log = Log();
    EXPECT_NE(log.find(L" : 写真一覧HTMLの生成(START)\r\n"), std::wstring::npos);
    EXPECT_NE(log.find(L" : 写真の枚数         = 2\r\n"), std::wstring::npos);
    EXPECT_NE(log.find(L" : 写真一覧HTMLの生成(END)\r\n"), std::wstring::npos);
    // The progress ends exactly at its total: one step per file.
    EXPECT_EQ(progress_.Total(), 2u);
    EXPECT_EQ(progress_.done, 2u);
    EXPECT_GE(progress_.resets, 2);
    EXPECT_EQ(progress_.captions.back(), L"写真一覧の生成中");
}

TEST_F(AlbumBuildTest, ThumbnailsStandUprightAndFitTheBox)
{
    for (std::uint16_t orientation = 0; orientation <= 9; ++orientation) {
        PhotoFacts facts = Taken("2020:01:02 10:00:00");
        facts.orientation = orientation;
        Picture(L"2020\\turned_" + std::to_wstring(orientation) + L".jpg", facts, 400, 300);
    }
    Picture(L"2020\\small.jpg", Taken("2020:01:03 10:00:00"), 100, 50);
    Picture(L"2020\\tall.jpg", Taken("2020:01:03 11:00:00"), 300, 400);
    ASSERT_EQ(Build(), kStatusOk);

    // Files of one day in name order share one capture time: their order is the scan's, so
    // each thumbnail is found by its size alone.
    int upright = 0, turned = 0;
    for (int n = 0; n < 10; ++n) {
        const PixelSize size = PictureSize(Album() + L"\\thumb\\2020\\20200102_" + std::to_wstring(n) + L".jpg");
        if (size.width == 320 && size.height == 240)
            ++upright;
        else if (size.width == 180 && size.height == 240)
            ++turned;
    }
    EXPECT_EQ(upright, 6);  // 0, 1, 2, 3, 4 and 9 keep their shape
    EXPECT_EQ(turned, 4);   // 5, 6, 7 and 8 turn a quarter
    const PixelSize small = PictureSize(Album() + L"\\thumb\\2020\\20200103_0.jpg");
    EXPECT_EQ(small.width, 320u);  // enlarged to fill the box along one side
    EXPECT_EQ(small.height, 160u);
    const PixelSize tall = PictureSize(Album() + L"\\thumb\\2020\\20200103_1.jpg");
    EXPECT_EQ(tall.width, 180u);
    EXPECT_EQ(tall.height, 240u);
}

TEST_F(AlbumBuildTest, PositionsBecomeMapQueriesAndMapLinks)
{
    PhotoFacts tokyo = Taken("2022:06:01 12:00:00");
    tokyo.gps = PhotoFacts::Position{{35, 40, 5245}, 'N', {139, 46, 165}, 'E'};
    Picture(L"2022\\06\\tokyo.jpg", tokyo);
    PhotoFacts south = Taken("2022:06:01 13:00:00");
    south.gps = PhotoFacts::Position{{35, 39, 3600}, 'S', {58, 22, 0}, 'W'};
    Picture(L"2022\\06\\south.jpg", south);
    Picture(L"2022\\06\\nowhere.jpg", Taken("2022:06:01 14:00:00"));
    // A HEIF photo has no thumbnail, but its position still leads to a map.
    MakeFile(output_ + L"\\2022\\06\\phone.heic", MakeHeifFile(AsHeifItem(PhotoExifBlock([] {
                 PhotoFacts facts = Taken("2022:06:01 15:00:00");
                 facts.gps = PhotoFacts::Position{{35, 40, 5245}, 'N', {139, 46, 165}, 'E'};
                 return facts;
             }()))));
    ASSERT_EQ(Build(), kStatusOk);

    const std::wstring page = Page(L"2022\\202206.html");
    EXPECT_NE(page.find(L"<a href='../picture.html?img=../2022/06/tokyo.jpg&map=1&lat=35.681236&lon=139.767125&page="),
              std::wstring::npos)
        << page;
    EXPECT_NE(page.find(L"<a href='https://maps.google.co.jp/maps?f=q&hl=ja&ie=UTF8&q=loc:35.681236,139.767125&z=19&iwloc=A' "
                        L"class='picture_list_gps_link' target='_blank' title='撮影場所'><img src='../gps.png' "
                        L"class='gps_mark picture_list_gps' alt='地図'/></a></span>"),
              std::wstring::npos);
    EXPECT_NE(page.find(L"img=../2022/06/south.jpg&map=1&lat=-35.660000&lon=-58.366667&page="), std::wstring::npos);
    EXPECT_NE(page.find(L"<a href='../picture.html?img=../2022/06/nowhere.jpg&page="), std::wstring::npos);
    EXPECT_NE(page.find(L"<a href='../unknown.html?file=../2022/06/phone.heic&name=phone.heic&map=1&lat=35.681236&lon=139.767125'>"
                        L"<div class='picture_item_unknown_frame'>phone.heic</div></a><a href='https://maps.google.co.jp/"),
              std::wstring::npos);
    EXPECT_EQ(CountOf(page, L"class='picture_list_gps_link'"), 3u);
    EXPECT_FALSE(FileExists(Album() + L"\\thumb\\2022\\20220601_3.jpg"));  // the HEIF file
}

TEST_F(AlbumBuildTest, NamesAreLinkedAsDataAndShownAsText)
{
    Picture(L"2023\\01\\it's #1 & more.jpg", Taken("2023:01:01 10:00:00"));
    Picture(L"2023\\01\\写真 (2)_a-b.c.jpg", Taken("2023:01:01 11:00:00"));
    Written(L"2023\\01\\a&b x#1.txt", 2023, 1, 1, 12);
    Written(L"2023\\01\\x' onclick='alert(1) &amp;.txt", 2023, 1, 1, 13);
    Written(L"2023\\01\\it's 100%.mp3", 2023, 1, 1, 14);
    ASSERT_EQ(Build(), kStatusOk);

    const std::wstring page = Page(L"2023\\202301.html");
    // What a URL would read as syntax is encoded; blanks and plain names stay as they are.
    EXPECT_NE(page.find(L"href='../picture.html?img=../2023/01/it%27s %231 %26 more.jpg&page=2023/202301&at="),
              std::wstring::npos)
        << page;
    EXPECT_NE(page.find(L"href='../picture.html?img=../2023/01/写真 (2)_a-b.c.jpg&page="), std::wstring::npos);
    // The viewer pages through the month's pictures by the list beside the page, which
    // carries the same queries, quotes and backslashes escaped for the script.
    const std::wstring list = Page(L"2023\\202301.pictures.js");
    EXPECT_NE(list.find(L"\"img=../2023/01/it%27s %231 %26 more.jpg\","), std::wstring::npos) << list;
    EXPECT_EQ(list.rfind(L"window.albumPictureQueries = [", 0), 0u) << list;
    EXPECT_NE(page.find(L"<audio src='../../2023/01/it%27s 100%25.mp3' controls>"), std::wstring::npos);
    EXPECT_NE(page.find(L"href='../unknown.html?file=../2023/01/a%26b%20x%231.txt&name=a%26b%20x%231.txt'>"
                        L"<div class='picture_item_unknown_frame'>a&amp;b x#1.txt</div>"),
              std::wstring::npos);
    EXPECT_NE(page.find(L"name=x%27%20onclick%3D%27alert(1)%20%26amp;.txt'><div class='picture_item_unknown_frame'>"
                        L"x&#39; onclick=&#39;alert(1) &amp;amp;.txt</div>"),
              std::wstring::npos);
    // No name ever ends an attribute and adds one of its own.
    EXPECT_EQ(page.find(L"onclick='"), std::wstring::npos);
    EXPECT_EQ(page.find(L"it's"), std::wstring::npos);
}

// The viewer's facts travel in the list beside the month page, as JSON texts: the camera and
// its exposure from the real photo, where each day came from, sizes in pixels and bytes, and a
// hostile camera name escaped as data.
TEST_F(AlbumBuildTest, TheListBesideTheMonthCarriesWhatEachPhotoKnows)
{
    CreateDirectoryW((output_ + L"\\2012").c_str(), nullptr);
    CreateDirectoryW((output_ + L"\\2012\\09").c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(RealTestFile("jpeg/mde_Apple_iPhone_5.jpg").c_str(),
                          (output_ + L"\\2012\\09\\IMG_0001.JPG").c_str(), FALSE));
    // Its Exif asks for a quarter turn that its boxes do not make: shown, and told, as wide.
    ASSERT_TRUE(CopyFileW(RealTestFile("heif/mde_Issue_437_dotnet.heic").c_str(),
                          (output_ + L"\\2012\\09\\IMG_0002.HEIC").c_str(), FALSE));
    PhotoFacts hostile = Taken("2012:09:29 18:00:00");
    hostile.make = "<img src=x onerror=alert(1)>";
    hostile.model = "\"];alert(2);//";
    Picture(L"2012\\09\\hostile.jpg", hostile, 64, 48);
    // No date inside: one by its name, one by its last write.
    Picture(L"2012\\09\\IMG_20120929_200000.jpg", PhotoFacts{}, 40, 30);
    const std::wstring written = Picture(L"2012\\09\\plain.jpg", PhotoFacts{}, 40, 30);
    SetLocalLastWrite(written, 2012, 9, 29, 21, 30, 5);
    ASSERT_EQ(Build(), kStatusOk);

    const std::wstring list = Page(L"2012\\201209.pictures.js");
    EXPECT_NE(list.find(L"window.albumPictureFacts = [\n"
                        L"{\"taken\":\"2012年9月29日 16:11:25\",\"source\":\"camera\",\"camera\":\"Apple iPhone 5\","
                        L"\"shutter\":\"1/1695 s\",\"aperture\":\"f/2.4\",\"iso\":\"50\",\"focal\":\"4.1 mm\","
                        L"\"focal35\":\"33 mm\",\"pixels\":\"3264 × 2448\",\"bytes\":\"2.3 MB\"},\n"),
              std::wstring::npos)
        << list;
    // The quote and the bracket stay inside the JSON text; nothing of the name is markup here.
    EXPECT_NE(list.find(L"\"source\":\"camera\",\"camera\":\"<img src=x onerror=alert(1)> \\\"];alert(2);//\""),
              std::wstring::npos)
        << list;
    EXPECT_NE(list.find(L"{\"taken\":\"2012年9月29日 20:00:00\",\"source\":\"name\",\"pixels\":\"40 × 30\""),
              std::wstring::npos)
        << list;
    EXPECT_NE(list.find(L"{\"taken\":\"2012年9月29日 21:30:05\",\"source\":\"lastWrite\",\"pixels\":\"40 × 30\""),
              std::wstring::npos)
        << list;
    EXPECT_NE(Page(L"2025\\202505.pictures.js").find(L"\"pixels\":\"4000 × 1848\""), std::wstring::npos);
    // One entry of facts for each query, in the same order.
    EXPECT_EQ(CountOf(list, L"{\"taken\":"), 4u);
    EXPECT_EQ(CountOf(list, L"\"img="), 4u);
}

TEST_F(AlbumBuildTest, TheScanLeavesOutAlbumsRecordsAndWorkFilesNotUndecodablePictures)
{
    Picture(L"2019\\keep.jpg", Taken("2019:05:05 10:00:00"));
    Picture(L"deep\\down\\PhotoAlbum\\thumb\\2019\\old.jpg", Taken("2019:05:05 11:00:00"));
    Picture(L"other\\photoalbum\\old.jpg", Taken("2019:05:05 12:00:00"));
    MakeFile(output_ + L"\\Sortavel.dat", Bytes{0, 1, 0, 0});
    MakeFile(output_ + L"\\sub\\SORTAVEL.DAT", Bytes{0, 1, 0, 0});
    // What a run stopped hard leaves: a half-made copy, a half-saved record, its marker.
    for (const wchar_t* work : {L"2019\\.kasumiro-copying7", L"Sortavel.dat.saving", L"Sortavel.dat.running"})
        Written(work, 2019, 5, 5, 15);
    Written(L"sub\\notes.dat", 2019, 5, 5, 13);
    SetLocalLastWrite(MakeFile(output_ + L"\\2019\\broken.png", Bytes{0x89, 'P', 'N', 'G', 1, 2, 3}), 2019, 5, 5, 16, 0, 0);
    Written(L"2019\\broken.mp3", 2019, 5, 5, 14);
    ASSERT_EQ(Build(), kStatusOk);

    const std::wstring page = Page(L"2019\\201905.html");
    EXPECT_NE(page.find(L"img=../2019/keep.jpg&"), std::wstring::npos);
    EXPECT_NE(page.find(L"name=notes.dat'"), std::wstring::npos);
    EXPECT_NE(page.find(L"src='../../2019/broken.mp3'"), std::wstring::npos);  // only pictures are test-decoded
    // A picture that does not decode is a file the album cannot picture, listed as such.
    EXPECT_NE(page.find(L"unknown.html?file=../2019/broken.png&"), std::wstring::npos);
    for (const wchar_t* absent : {L"old.jpg", L"Sortavel", L"SORTAVEL", L"img=../2019/broken.png", L"kasumiro-copying"})
        EXPECT_EQ(page.find(absent), std::wstring::npos) << absent;
    EXPECT_NE(std::find(progress_.traces.begin(), progress_.traces.end(), L"(dir )" + output_ + L"\\deep\\down\\PhotoAlbum"),
              progress_.traces.end());

    // Without files that have no preview, the other kinds go too, and so does the picture
    // that cannot be shown.
    ASSERT_EQ(Build(false), kStatusOk);
    const std::wstring previewOnly = Page(L"2019\\201905.html");
    EXPECT_EQ(previewOnly.find(L"notes.dat"), std::wstring::npos);
    EXPECT_EQ(previewOnly.find(L"broken.png"), std::wstring::npos);
    EXPECT_NE(previewOnly.find(L"broken.mp3"), std::wstring::npos);
}

// The album dates a movie by the filming time it keeps, as the run and the console do, and by
// its last-write time when the switch is off: through the scan the build makes.
TEST_F(AlbumBuildTest, AMovieIsFiledByItsFilmingTimeUnlessTheSwitchIsOff)
{
    const std::wstring movie =
        MakeFile(output_ + L"\\card\\MOV_0001.MOV", ReadWholeFile(RealTestFile("../movies/mov_moov_last.mov")));
    SetLocalLastWrite(movie, 2025, 1, 2, 12, 0, 0);
    ASSERT_EQ(BuildPhotoAlbum(progress_, output_, true).status, kStatusOk);
    // Filmed 2019-07-14 09:30 UTC: July in any time zone.
    EXPECT_NE(Page(L"2019\\201907.html").find(L"MOV_0001.MOV"), std::wstring::npos);
    EXPECT_FALSE(FileExists(Album() + L"\\2025\\202501.html"));

    CaptureDateRules byLastWrite;
    byLastWrite.movieDateFromFile = false;
    ASSERT_EQ(BuildPhotoAlbum(progress_, output_, true, L"", byLastWrite).status, kStatusOk);
    EXPECT_NE(Page(L"2025\\202501.html").find(L"MOV_0001.MOV"), std::wstring::npos);
    EXPECT_FALSE(FileExists(Album() + L"\\2019\\201907.html"));
}

// The picture at `from` saved by the imaging library in the format of that MIME type.
bool SaveAs(const std::wstring& from, const wchar_t* mime, const std::wstring& to)
{
    CLSID encoder{};
    Gdiplus::Image picture(from.c_str());
    return ImageEncoder(mime, &encoder) && picture.Save(to.c_str(), &encoder, nullptr) == Gdiplus::Ok;
}

// GIF, BMP and TIFF photos show with thumbnails, decoded by the system's imaging library; a
// TIFF, which browsers do not show, gets a JPEG of it for the viewer.
TEST_F(AlbumBuildTest, GifBmpAndTiffPhotosHaveThumbnailsAndATiffAView)
{
    const std::wstring source = MakeFile(root_.File(L"source.jpg"), PhotoJpeg(400, 300, Taken("2020:05:05 10:00:00")));
    CreateDirectoryW((output_ + L"\\pics").c_str(), nullptr);
    ASSERT_TRUE(SaveAs(source, L"image/bmp", output_ + L"\\pics\\x.bmp"));
    // Wine's imaging library writes a GIF without its picture: ImageMagick makes it.
    ASSERT_TRUE(RunHostCommand("convert '" + HostPathOf(source) + "' '" + HostPathOf(output_ + L"\\pics\\x.gif") + "'"));
    for (const wchar_t* name : {L"x.gif", L"x.bmp"})
        SetLocalLastWrite(output_ + L"\\pics\\" + name, 2020, 5, 5, 12, 0, 0);
    MakeFile(output_ + L"\\pics\\y.tif", ReadWholeFile(RealTestFile("tiff/ianare_Picoawards.tiff")));
    ASSERT_EQ(Build(false), kStatusOk);

    const std::wstring pages = AllPages();
    for (const wchar_t* name : {L"x.gif", L"x.bmp"})
        EXPECT_NE(pages.find(L"picture.html?img=../pics/" + std::wstring(name) + L"&page="), std::wstring::npos) << name << Log();
    EXPECT_NE(pages.find(L"picture.html?img=../pics/y.tif&view="), std::wstring::npos) << pages;
    int thumbnails = 0, views = 0;
    for (const auto& entry : FolderSnapshot(Album() + L"\\thumb")) {
        views += entry.first.ends_with(L"_view.jpg");
        thumbnails += entry.first.ends_with(L".jpg") && !entry.first.ends_with(L"_view.jpg");
    }
    EXPECT_EQ(thumbnails, 3);
    EXPECT_EQ(views, 1);
}

// Pictures that claim gigapixels in a few hundred bytes, a progressive JPEG of 1,200 scans, a
// PNG truly as large as it claims, and damaged ones (empty, cut), made by
// make_hostile_pictures.py, beside real photos: the album is built, every one that cannot be
// shown is listed as a file without preview with the reason in the log, and the photos (a
// 200-megapixel JPEG as phones write it among them) keep their thumbnails.
TEST_F(AlbumBuildTest, HostileAndDamagedPicturesAreListedWithoutPreviewBesideRealPhotos)
{
    const std::wstring hostile = output_ + L"\\hostile";
    ASSERT_TRUE(CreateDirectoryW(hostile.c_str(), nullptr));
    ASSERT_TRUE(RunHostCommand("python3 '" + HostPathOf(RealTestFile("../../album/make_hostile_pictures.py")) + "' '" +
                               HostPathOf(hostile) + "'"));
    const wchar_t* withoutPreview[] = {L"progressive-claims-32767-square.jpg", L"progressive-of-1200-scans.jpg",
                                       L"png-16000-square-one-row-repeated.png", L"baseline-claims-65535-square.jpg",
                                       L"cut-after-100-bytes.jpg", L"empty.jpg", L"png-claims-16000-square-cut.png"};
    const std::string photos[] = {"jpeg/mde_Issue_609.jpg", "jpeg/mde_Apple_iPhone_5.jpg", "heif/sigal_outdoor.heic"};
    const auto nameOf = [](const std::string& photo) { return FromUtf8(photo.substr(photo.find('/') + 1)); };
    for (const std::string& photo : photos)
        MakeFile(output_ + L"\\photos\\" + nameOf(photo), ReadWholeFile(RealTestFile(photo)));
    ASSERT_EQ(Build(), kStatusOk);

    const std::wstring pages = AllPages();
    for (const wchar_t* name : withoutPreview) {
        EXPECT_NE(pages.find(L"unknown.html?file=../hostile/" + std::wstring(name) + L"&"), std::wstring::npos) << name;
        EXPECT_EQ(pages.find(L"img=../hostile/" + std::wstring(name)), std::wstring::npos) << name;
    }
    EXPECT_NE(pages.find(L"picture.html?img=../hostile/baseline-of-200-megapixels.jpg&"), std::wstring::npos);
    for (const std::string& photo : photos)
        EXPECT_NE(pages.find(L"picture.html?img=../photos/" + nameOf(photo)), std::wstring::npos) << photo;
    int thumbnails = 0;
    for (const auto& entry : FolderSnapshot(Album() + L"\\thumb"))
        thumbnails += entry.first.ends_with(L".jpg") && !entry.first.ends_with(L"_view.jpg");
    EXPECT_EQ(thumbnails, 4);

    const std::wstring log = Log();
    EXPECT_NE(log.find(L"画像が大きすぎるため縮小画像を作りません (32767 x 32767, 展開に 2096 MB, 上限 256 MB) = " + hostile +
                       L"\\progressive-claims-32767-square.jpg"),
              std::wstring::npos)
        << log;
    EXPECT_NE(log.find(L"画像が大きすぎるため縮小画像を作りません (16000 x 16000, 展開に 2685 MB, 上限 256 MB) = " + hostile +
                       L"\\png-16000-square-one-row-repeated.png"),
              std::wstring::npos);
    EXPECT_NE(log.find(L"JPEGのスキャンが多すぎるため縮小画像を作りません (64 個まで) = " + hostile +
                       L"\\progressive-of-1200-scans.jpg"),
              std::wstring::npos);
    EXPECT_NE(log.find(L"画像として読めないため縮小画像を作りません = " + hostile + L"\\cut-after-100-bytes.jpg"),
              std::wstring::npos);

    // Without files that have no preview, those that cannot be shown are left out.
    ASSERT_EQ(Build(false), kStatusOk);
    const std::wstring previewOnly = AllPages();
    for (const wchar_t* name : withoutPreview)
        EXPECT_EQ(previewOnly.find(name), std::wstring::npos) << name;
    EXPECT_NE(previewOnly.find(L"img=../photos/mde_Issue_609.jpg"), std::wstring::npos);
}

TEST_F(AlbumBuildTest, AnEmptyFolderStillGetsItsFrameAndAMissingTemplateIsNoFailure)
{
    ASSERT_EQ(Build(true, root_.File(L"no template here")), kStatusOk);
    EXPECT_EQ(Page(L"index.html"), kHeader(L"写真一覧", L".") + kFooter);
    EXPECT_TRUE(IsFolderEmpty(Album() + L"\\thumb", false));
    EXPECT_FALSE(FileExists(Album() + L"\\make_photo_album.css"));
}

TEST_F(AlbumBuildTest, AnOldAlbumThatCannotBeDeletedStopsTheBuild)
{
    Picture(L"2018\\a.jpg", Taken("2018:02:02 10:00:00"));
    const std::wstring held = MakeFile(Album() + L"\\2018\\201802.html", Bytes{'o', 'l', 'd'});
    {
        const HANDLE open = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(open, INVALID_HANDLE_VALUE);
        EXPECT_NE(Build(), kStatusOk);
        CloseHandle(open);
    }
    EXPECT_NE(Log().find(L" : PhotoAlbumフォルダの削除に失敗しました。\r\n"), std::wstring::npos);
    EXPECT_EQ(Log().find(L"写真一覧HTMLの生成(END)"), std::wstring::npos);
    EXPECT_EQ(ReadBytes(held), (Bytes{'o', 'l', 'd'}));
    EXPECT_FALSE(FileExists(Album() + L"\\index.html"));

    // Let go of, the old album goes and a new one takes its place.
    ASSERT_EQ(Build(), kStatusOk);
    EXPECT_NE(Page(L"2018\\201802.html").find(L"img=../2018/a.jpg&"), std::wstring::npos);
}

TEST_F(AlbumBuildTest, ABusyDayKeepsEveryFileAndYearsComeInOrder)
{
    for (int i = 0; i < 40; ++i)
        Written(L"2017\\clip_" + std::to_wstring(i) + L".mov", 2017, 8, 8, 10);
    Written(L"2016\\early.wav", 2016, 1, 1, 9);
    Written(L"2024\\late.wav", 2024, 12, 31, 9);
    ASSERT_EQ(Build(), kStatusOk);
    const std::wstring page = Page(L"2017\\201708.html");
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(CountOf(page, L"2017/clip_" + std::to_wstring(i) + L".mov'"), 1u) << i;
    const std::wstring index = Page(L"index.html");
    const size_t y2016 = index.find(L"2016年"), y2017 = index.find(L"2017年"), y2024 = index.find(L"2024年");
    ASSERT_NE(y2016, std::wstring::npos);
    EXPECT_LT(y2016, y2017);
    EXPECT_LT(y2017, y2024);
    // A year of sounds and films still has its thumbnail folder.
    EXPECT_NE(GetFileAttributesW((Album() + L"\\thumb\\2016").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(AlbumBuildTest, ADayTheCalendarLacksKeepsItsOwnDay)
{
    Picture(L"2021\\02\\feb28.jpg", Taken("2021:02:28 23:00:00"));
    Picture(L"2021\\02\\feb30.jpg", Taken("2021:02:30 08:00:00"));
    ASSERT_EQ(Build(), kStatusOk);
    const std::wstring page = Page(L"2021\\202102.html");
    const size_t day28 = page.find(L"2021年02月28日"), day30 = page.find(L"2021年02月30日");
    ASSERT_NE(day30, std::wstring::npos) << page;
    EXPECT_LT(day28, day30);
    EXPECT_NE(page.find(L"src='../thumb/2021/20210230_0.jpg'"), std::wstring::npos);
}

TEST(LocalTimestampTest, CountsFromTheDateFieldsAsTheSystemDoes)
{
    for (const SYSTEMTIME date : {SYSTEMTIME{1601, 1, 0, 1, 0, 0, 0, 0}, SYSTEMTIME{1970, 1, 0, 1, 0, 0, 0, 0},
                                  SYSTEMTIME{2000, 2, 0, 29, 23, 59, 59, 999}, SYSTEMTIME{2024, 12, 0, 31, 12, 30, 15, 5},
                                  SYSTEMTIME{2100, 3, 0, 1, 0, 0, 1, 0}}) {
        FILETIME system{};
        ASSERT_TRUE(SystemTimeToFileTime(&date, &system));
        const std::int64_t expected = (std::int64_t{system.dwHighDateTime} << 32) | system.dwLowDateTime;
        EXPECT_EQ(LocalTimestamp(date), expected) << date.wYear << "-" << date.wMonth << "-" << date.wDay;
    }
    // 30 February counts on past the month's end: it is 2 March's time.
    EXPECT_EQ(LocalTimestamp(SYSTEMTIME{2021, 2, 0, 30, 8, 0, 0, 0}), LocalTimestamp(SYSTEMTIME{2021, 3, 0, 2, 8, 0, 0, 0}));
}

TEST(AlbumFileKindTest, ByTheLastDotOfThePathInAnyCase)
{
    EXPECT_EQ(AlbumFileKindOf(L"C:\\a\\IMG.JPG"), AlbumFileKind::kPicture);
    EXPECT_EQ(AlbumFileKindOf(L"C:\\a\\img.jpeg"), AlbumFileKind::kPicture);
    EXPECT_EQ(AlbumFileKindOf(L"C:\\a\\clip.MOV"), AlbumFileKind::kVideo);
    for (const wchar_t* camcorder : {L"C:\\a\\00001.MTS", L"C:\\a\\00001.m2ts", L"C:\\a\\x.avi", L"C:\\a\\x.mkv"}) {
        EXPECT_EQ(AlbumFileKindOf(camcorder), AlbumFileKind::kVideo) << camcorder;
        EXPECT_FALSE(BrowserPlaysMovie(camcorder)) << camcorder;
    }
    EXPECT_TRUE(BrowserPlaysMovie(L"C:\\a\\clip.MOV"));
    EXPECT_EQ(AlbumFileKindOf(L"C:\\a\\voice.Wav"), AlbumFileKind::kAudio);
    for (const wchar_t* photo : {L"C:\\a\\x.heic", L"C:\\a\\x.HEIF", L"C:\\a\\x.avif", L"C:\\a\\x.gif", L"C:\\a\\x.BMP",
                                 L"C:\\a\\x.tif", L"C:\\a\\x.tiff"})
        EXPECT_EQ(AlbumFileKindOf(photo), AlbumFileKind::kPicture) << photo;
    for (const wchar_t* other : {L"C:\\a\\x.dng", L"C:\\a\\x.webp", L"C:\\v1.2\\README", L"C:\\a\\x"})
        EXPECT_EQ(AlbumFileKindOf(other), AlbumFileKind::kOther) << other;
}

}  // namespace
