// Acoustic demodulator: finds one frame of 52 tones in a buffer of 8-bit
// samples, estimates the transmitter's speed and symbol timing, decodes the
// rate-1/2 convolutional code and checks the CRC-16.
//
// Plain procedural code: free functions over one working store per call,
// reporting by return values (result codes, null pointers, -1); they never
// throw. Arrays returned by a function are released by the caller with
// delete[]. All arithmetic is 32-bit float unless a comment says double;
// float positions become indexes by truncation toward zero.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// --- Constant tables -------------------------------------------------------

// Period of each tone in microseconds, indexed by symbol value. In rising
// frequency the symbols form a Gray sequence.
extern const int tper[16];

// Generator taps (first output, second output) per register entry, oldest
// entry first, for constraint lengths 3, 5, 7 and 9.
extern const int g3[3][2];
extern const int g5[5][2];
extern const int g7[7][2];
extern const int g9[9][2];

// CRC-16, polynomial 0x8005, most significant bit first.
extern const std::array<uint16_t, 256> crc8005;

// --- Working store -----------------------------------------------------------

// One decode's working store. Sized to the input: `samples` holds every input
// sample and the per-block arrays hold `block_capacity` entries, enough for
// the block count of the whole input at the shortest block. Entries at or
// beyond the current block count keep what an earlier pass left there; reads
// outside [0, block_capacity) count as 0, as never-written entries would.
struct demod_store {
  float* samples;          // input bytes as floats, 0.0 to 255.0
  int sample_count;        // entries in samples
  float* energy;           // E[b]: energy of blocks b..b+2
  float* magnitude[16];    // M[t][b]: normalised magnitude of tone t at block b
  float* peak;             // P[b]: largest M[t][b] over the 16 tones
  int block_capacity;      // entries in energy, each magnitude row and peak
  int signal_start;        // sample index where block 0 of the analysis begins
  int block_count;         // N: blocks under analysis
};

// Allocates a zero-filled store for `count` samples and copies them in;
// returns null when count < 0 or memory is short.
demod_store* demod_store_new(const unsigned char* samples, int count);
void demod_store_free(demod_store* store);

// Block peak P[b], or 0 outside the store.
float demod_peak_at(const demod_store* store, int b);

// --- Frame synchronisation search -------------------------------------------

// Writes E[b] for b in [0, N). E must be all zero before the pass.
void energie(demod_store* store, int block_length);
// Writes M[t][b] and P[b] for b in [0, N) at speed factor alpha; returns the
// mean block peak.
float correl(demod_store* store, float alpha, int block_length);
// Mean block peak over a window of `length` blocks starting at `start`.
float famt(const demod_store* store, float start, float length);
// Best start, in blocks, of a window of `length` blocks among n blocks.
float position(const demod_store* store, int n, float length, int block_length);
// Golden-section maximisers over the bracket a <= b <= c.
float doree_famt(const demod_store* store, float a, float b, float c, float tolerance,
                 float length);
float doree_correl(demod_store* store, float a, float b, float c, float tolerance,
                   int block_length);

// --- Symbol timing and sampling ----------------------------------------------

// Mean block peak under a comb of `count` teeth, `spacing` blocks apart.
float peigne(const demod_store* store, float start, float spacing, int count);
float doree_peigne(const demod_store* store, float a, float b, float c, float tolerance,
                   float spacing, int count);
// New array of count + 2 floats; entry i + 2 is the position of symbol i.
float* dents(float start, float spacing, int count, int block_length);

// --- Convolutional decoder ----------------------------------------------------

// One trellis branch as the helpers pass it between them.
struct vb_branch {
  int state;       // state before the branch
  int next_state;  // state after the branch
  unsigned char input;
  unsigned char first_output;
  unsigned char second_output;
};

// Sets up the code for constraint length k over an alphabet of q symbols.
// Returns 0, or -1 when k or q is not supported; on 0 *reg is a new scratch
// register of k bytes that the caller releases.
int vb_adc_init(int k, int q, int* m, const int (**generators)[2], int* mask, int* shift,
                unsigned char** reg);
void vb_adc_netat(vb_branch* branch, int k, int m, const int (*generators)[2], int mask,
                  int shift, unsigned char* reg);
void vb_adc_symbol(vb_branch* branch, int m, int mask, int shift);
// Magnitude of `tone` at the fractional block position x.
float vb_metric(const demod_store* store, unsigned char tone, float x);
// Soft-decision Viterbi decode of g coded symbols at the positions of a dents
// list; new array of l + k - 1 symbols, or null.
unsigned char* ancnv(const demod_store* store, const float* positions, int l, int g, int k);
// Encoder matching ancnv: new array of 2 * (l + k - 1) coded symbols, or null
// for k other than 3, 5, 7, 9.
unsigned char* c_conv(const unsigned char* symbols, int l, int k);

// --- Integrity check and de-mixing ---------------------------------------------

uint16_t cacrc(const unsigned char* symbols, int count);
// -1 rejected, 0 correct, 1 repaired by flipping one bit (left flipped).
int ancrc(unsigned char* symbols, int count);
// New array of count de-mixed symbols, or null if count is odd.
unsigned char* mixeur(const unsigned char* symbols, int count);

// --- Driver --------------------------------------------------------------------

// Result codes of DecodeBuffer.
enum {
  DEMOD_OK = 0,              // decoded, CRC held without repair
  DEMOD_REPAIRED = 1,        // the first passing candidate needed a one-bit repair
  DEMOD_CHECK_FAILED = 2,    // the last candidate decoded failed its check
  DEMOD_NO_CANDIDATE = 4,    // no candidate fitted the window
};

// Decodes the frame in samples[0, count) into message[0, 10). Mode > 0 selects
// 32-sample blocks, otherwise 16. The message is written only on result 0.
int DecodeBuffer(const unsigned char* samples, int count, unsigned char* message, int mode);

// The two passes that dominate a decode. The driver can be run with other
// implementations of them, so that they can be checked against a reference.
struct demod_kernels {
  float (*correl)(demod_store*, float, int);
  unsigned char* (*ancnv)(const demod_store*, const float*, int, int, int);
};
extern const demod_kernels demod_default_kernels;

// What a decode found along the way; positions are in blocks of the window.
struct demod_trace {
  float alpha_sweep;     // best speed of the sweep
  float alpha;           // refined speed
  float symbol_length;   // W, blocks per symbol
  float frame_start;     // Y, fine frame location
  float comb_start;      // best start of the comb sweep
  float first_symbol;    // Z, refined position of symbol 0
  int window_start;      // sample where the window's block 0 begins
  int window_blocks;     // N of the window
  int candidates;        // candidates decoded
  float accepted_start;  // position of symbol 0 of the last candidate decoded
  unsigned char symbols[26];  // its decoded symbols, tail included
};

// DecodeBuffer with chosen kernels; fills *trace (when not null) and, on
// return, hands the caller the store (when `keep_store` is not null) instead
// of releasing it.
int demod_decode(const unsigned char* samples, int count, unsigned char* message, int mode,
                 const demod_kernels& kernels, demod_trace* trace, demod_store** keep_store);
