// Pieces of the demodulator shared between its files, not part of its API.
#pragma once

#include "demod.h"

namespace demod_detail {

using correl_function = float (*)(demod_store*, float, int);

// doree_correl over a chosen correlation pass.
float doree_correl_using(correl_function correl_pass, demod_store* store, float a, float b,
                         float c, float tolerance, int block_length);

}  // namespace demod_detail
