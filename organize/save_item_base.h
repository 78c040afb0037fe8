#pragma once
// An item of a record file that writes itself to and reads itself from a record stream.

#include <cstdint>

#include "organize/record_stream.h"

class SaveItemBase_CL {
public:
    virtual ~SaveItemBase_CL() = default;
    virtual bool Write(RecordWriter_CL& stream) const = 0;
    // tableFormat: the record's table format number, for items whose layout depends on it.
    virtual bool Read(RecordReader_CL& stream, std::int32_t tableFormat) = 0;
};
