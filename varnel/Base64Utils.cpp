#include "varnel/Base64Utils.h"

#include <algorithm>
#include <cctype>
#include <cstddef>

#include <boost/archive/iterators/base64_from_binary.hpp>
#include <boost/archive/iterators/binary_from_base64.hpp>
#include <boost/archive/iterators/dataflow_exception.hpp>
#include <boost/archive/iterators/insert_linebreaks.hpp>
#include <boost/archive/iterators/remove_whitespace.hpp>
#include <boost/archive/iterators/transform_width.hpp>

namespace varnel {

namespace {

namespace iterators = boost::archive::iterators;

constexpr int kLineLength = 72;

using Encoder = iterators::insert_linebreaks<
    iterators::base64_from_binary<iterators::transform_width<std::vector<unsigned char>::const_iterator, 6, 8>>,
    kLineLength>;

using Position = std::string::const_iterator;
using Decoder =
    iterators::transform_width<iterators::binary_from_base64<iterators::remove_whitespace<Position>>, 8, 6, unsigned char>;

// The same test remove_whitespace applies.
bool is_space(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

Position without_trailing_space(Position begin, Position end) {
  while (end != begin && is_space(*(end - 1))) --end;
  return end;
}

}  // namespace

std::string Base64Utils::binary_to_base64(std::vector<unsigned char> bytes) {
  const std::size_t length = bytes.size();
  // The encoder may read the rest of the last group; it must find zeros there.
  const std::size_t padding = (3 - length % 3) % 3;
  bytes.resize(length + padding, 0);

  std::string text;
  text.reserve((length + 2) / 3 * 4 + length / 54 + 1);
  const auto end = bytes.cbegin() + static_cast<std::ptrdiff_t>(length);
  // transform_width learns of the end while being compared with it, so the
  // iterator compared must be the one advanced, never a copy.
  for (Encoder it(bytes.cbegin()), stop(end); it != stop; ++it) {
    text.push_back(*it);
  }
  text.append(padding, '=');
  return text;
}

std::vector<unsigned char> Base64Utils::base64_to_binary(std::string text) {
  const auto padding = static_cast<std::size_t>(std::count(text.begin(), text.end(), '='));
  std::replace(text.begin(), text.end(), '=', 'A');

  // remove_whitespace skips blanks without looking for the end of the text,
  // and transform_width stops only on a character boundary: the decoded range
  // must end on a character and must not end in a lone character of a group,
  // or either iterator reads past the end.
  const Position begin = text.cbegin();
  const Position last = without_trailing_space(begin, text.cend());
  const bool lone_last = std::count_if(begin, last, [](char c) { return !is_space(c); }) % 4 == 1;
  const Position stop = lone_last ? without_trailing_space(begin, last - 1) : last;

  std::vector<unsigned char> bytes;
  bytes.reserve(static_cast<std::size_t>(stop - begin) / 4 * 3 + 2);
  try {
    for (Decoder it(begin), end(stop); it != end; ++it) {
      bytes.push_back(*it);
    }
    // A stray character is reported as such even where it stands alone.
    if (lone_last) static_cast<void>(*iterators::binary_from_base64<Position>(last - 1));
  } catch (const iterators::dataflow_exception& e) {
    throw InvalidBase64String(e.what());
  }
  if (lone_last) throw InvalidBase64String("Base64Utils::base64_to_binary : truncated base64 text");

  // More "=" than bytes leaves nothing rather than underflowing the size.
  bytes.resize(bytes.size() - std::min(padding, bytes.size()));
  return bytes;
}

}  // namespace varnel
