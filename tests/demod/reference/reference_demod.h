// Straightforward scalar forms of the demodulator's two heavy passes: each
// formula written out tone by tone and branch by branch. The production
// passes must give bit-identical results.
#pragma once

#include "demod/demod.h"

float reference_correl(demod_store* store, float alpha, int block_length);
unsigned char* reference_ancnv(const demod_store* store, const float* positions, int l, int g,
                               int k);

extern const demod_kernels reference_kernels;
