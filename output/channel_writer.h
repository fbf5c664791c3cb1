// The channel writer: one measured figure appended to the document in the
// form the output mode asks for.
//
//   XML family  a Result element with Channel, optional Unit/CustomUnit and
//               Value;
//   Tessaryn    "Message.KEY: name (unit)" and "Statistic.KEY: value" lines,
//               at most ten channels per process;
//   Corvane     a "> name: value unit" line, or with "CH=N" among the
//               parameters only the bare value of channel N.
#ifndef KESTRELON_OUTPUT_CHANNEL_WRITER_H_
#define KESTRELON_OUTPUT_CHANNEL_WRITER_H_

#include <string>
#include <string_view>

#include "output/output_document.h"

/// The Tessaryn key of a channel name: blanks and / \ [ ] * ( ) : - become
/// "_", and so does the first dot.
std::string ChannelKey(std::string_view name);

/// The unit as Tessaryn and Corvane show it: "#" for none, "%" for PerCent,
/// "mSec" for TimeResponse, any other unit unchanged.
std::string_view UnitDisplayText(std::string_view unit);

/// The channel number selected by "CH=" in the parameters: up to three
/// characters after it, stopping before a comma, read as a decimal integer
/// (leading blanks, optional sign, digits; 0 when there are none).
long SelectedChannel(std::string_view parameter_text, std::string_view parameter_keys);

/// Counts the channel and appends it to the buffer.
void WriteChannel(Output& output, std::string_view parameter_text,
                  std::string_view parameter_keys, std::string_view name,
                  std::string_view value, std::string_view unit);

#endif  // KESTRELON_OUTPUT_CHANNEL_WRITER_H_
