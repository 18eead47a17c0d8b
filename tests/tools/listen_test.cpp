// `listen` through test microphones: the tool, a child of this process,
// inherits the environment that points ALSA (and JACK) at them. Its standard
// error must hold its own lines only, none of the audio libraries' probing.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "demod/synth.h"
#include "test_microphone.h"
#include "tool_test.h"

namespace {

using test_audio::Microphone;
using tool_test::ToolRun;
using Samples = std::vector<unsigned char>;

const demod::MessageBytes kMessage = {0x5e, 0x71, 0x0a, 0x1a, 0xff, 0x00, 0x80, 0x7f, 0x42, 0x24};

std::string listening_for(int seconds) {
  return "sirko-audio: listening on the default microphone for " + std::to_string(seconds) + " s\n";
}

class ListenTest : public tool_test::ToolTest {};

TEST_F(ListenTest, FrameInTheSecondPeriodDecodesWithItsFields) {
  // The first 2-second period ends inside the frame; the second completes it.
  demod::SynthOptions options;
  options.lead_seconds = 2.5;
  Samples samples = demod::synthesize_frame(kMessage, options);
  samples.resize(4 * demod::kSampleRate, 0);
  const auto microphone = Microphone::paced(samples);

  const ToolRun heard = run({"listen", "--json", "--timeout", "8"});
  EXPECT_EQ(heard.status, 0);
  EXPECT_EQ(heard.out,
            R"({"message": "5e710a1aff00807f4224", "serial": "0bce2143", "otp1": 804259847, )"
            R"("otp2": 999972})"
            "\n");
  EXPECT_EQ(heard.err, listening_for(8));
}

TEST_F(ListenTest, SilenceTimesOut) {
  const auto microphone = Microphone::paced(Samples(3 * demod::kSampleRate, 0));
  const ToolRun heard = run({"listen", "--timeout", "2"});
  EXPECT_EQ(heard.status, 1);
  EXPECT_EQ(heard.out, "no frame within 2 s\n");
  EXPECT_EQ(heard.err, listening_for(2));
}

TEST_F(ListenTest, MissingOrUnsuitableMicrophoneGivesTheRecordersMessage) {
  const struct {
    const char* name;
    std::unique_ptr<Microphone> (*make)();
    std::string message;
  } cases[] = {
      {"none", Microphone::none, "Unable to find a microphone"},
      {"unsuitable", Microphone::unsuitable,
       "Unable to set the microphone to the desired sample rate and format"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto microphone = c.make();
    const ToolRun heard = run({"listen"});
    EXPECT_EQ(heard.status, 3);
    EXPECT_EQ(heard.out, "");
    EXPECT_EQ(heard.err, listening_for(10) + "sirko-audio: " + c.message + "\n");
  }
}

}  // namespace
