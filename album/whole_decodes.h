#pragma once
// The turns of the decodes that hold a whole picture at once (a progressive JPEG's
// coefficients, a HEIF picture's planes, the imaging library's bitmap): at most
// picture_limits::kMaxWholeDecodesAtOnce in the whole process, whichever thread asks. A JPEG
// read at a scale from one scan holds a few rows and takes no turn. Portable: the fuzz
// targets build it natively.

// A place among the whole decodes, held for as long as it lives. Never take a second one on
// a thread that holds one.
class WholeDecodeTurn {
public:
    WholeDecodeTurn();
    ~WholeDecodeTurn();
    WholeDecodeTurn(const WholeDecodeTurn&) = delete;
    WholeDecodeTurn& operator=(const WholeDecodeTurn&) = delete;
};
