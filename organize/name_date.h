#pragma once
// The day a file's own name says it was taken, as the apps that make such files write it: a
// phone's or camera's "IMG_20230420_101112.jpg", "PXL_20230421_031415926.jpg" (in UTC), a
// messenger's "IMG-20230415-WA0007.jpg" (the day only), a screenshot's
// "Screenshot_20230417-081530.png" or "スクリーンショット 2023-04-22 153000.png". Digits that are no
// date ("IMG_1234.JPG", "DSC01234.JPG", "12345678.jpg") never become one.

#include <optional>
#include <string>

struct NameDate {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
    bool hasTime = false;  // false: the name gives the day only, and the time is midnight
    bool utc = false;      // the app writes the time in UTC, not the phone's local time
};

// The first date in the name (its extension left out) that is a real calendar date in the
// years firstYear to lastYear: eight digits, or year, month and day joined by one of "-", "_"
// and ".", set off from other digits, with a time after it when one follows. Nothing when
// there is none.
std::optional<NameDate> DateInFileName(const std::wstring& name, int firstYear, int lastYear);
