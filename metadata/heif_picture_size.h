#pragma once
// The size of a HEIF or AVIF file's primary picture as its decoders show it: the "ispe"
// property that the item properties ("iprp") give the primary item ("pitm"), turned a quarter
// when its "irot" property says so. Read from the "meta" box alone, never the pictures.

#include <cstdint>
#include <optional>
#include <span>
#include <utility>

// metaBox: the whole "meta" box, its header included. Nothing when the box names no primary
// item, or gives it no usable "ispe".
std::optional<std::pair<std::uint32_t, std::uint32_t>> HeifPrimaryPictureSize(std::span<const std::uint8_t> metaBox);
