// Registration of the RVF codecs of the item kinds this layer knows.
#pragma once

namespace xq {

/// Registers the codecs of breaks, pictures, controls, image-list images, markers, tabs,
/// labels, sequences and notes. Safe to call more than once.
void RegisterBuiltInRvfItemCodecs();

} // namespace xq
