#include "test_microphone.h"

#include <gtest/gtest.h>
#include <jack/jack.h>
#include <portaudio.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace test_audio {

namespace {

constexpr auto kServerReadyTimeout = std::chrono::seconds(15);
constexpr auto kServerStopTimeout = std::chrono::seconds(5);

std::string make_directory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "sirko-mic-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make " + pattern);
  return pattern;
}

void write_file(const std::string& path, const void* data, std::size_t size) {
  std::ofstream file(path, std::ios::binary);
  file.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!file) throw std::runtime_error("cannot write " + path);
}

std::string file_pcm(const std::string& directory, const std::string& slave) {
  return "pcm.!default {\n"
         "  type file\n"
         "  slave.pcm " + slave + "\n"
         "  file \"/dev/null\"\n"
         "  infile \"" + samples_path_in(directory) + "\"\n"
         "  format \"raw\"\n"
         "}\n";
}

const char* const kJackPcm =
    "{\n"
    "    type jack\n"
    "    playback_ports { 0 system:playback_1 }\n"
    "    capture_ports { 0 system:capture_1 }\n"
    "  }";

void ignore_jack(const char*) {}

}  // namespace

std::string samples_path_in(const std::string& directory) { return directory + "/microphone.raw"; }

Microphone::Microphone() : directory_(make_directory()) {}

Microphone::~Microphone() {
  stop_server();
  unsetenv("ALSA_CONFIG_PATH");
  unsetenv("JACK_DEFAULT_SERVER");
  std::error_code ignored;
  std::filesystem::remove_all(directory_, ignored);
}

void Microphone::write_config(const std::string& text) {
  const std::string path = directory_ + "/asound.conf";
  write_file(path, text.data(), text.size());
  setenv("ALSA_CONFIG_PATH", path.c_str(), 1);
}

std::unique_ptr<Microphone> Microphone::paced(const std::vector<unsigned char>& samples) {
  std::unique_ptr<Microphone> microphone(new Microphone);
  write_file(samples_path_in(microphone->directory_), samples.data(), samples.size());
  // plug converts the 8-bit samples the file plugin passes on to JACK's floats.
  microphone->write_config(file_pcm(microphone->directory_,
                                    std::string("{\n    type plug\n    slave.pcm ") + kJackPcm + "\n  }"));
  microphone->start_server(8000);
  return microphone;
}

std::unique_ptr<Microphone> Microphone::fast(const std::vector<unsigned char>& samples) {
  std::unique_ptr<Microphone> microphone(new Microphone);
  write_file(samples_path_in(microphone->directory_), samples.data(), samples.size());
  microphone->write_config(file_pcm(microphone->directory_, "{ type null }"));
  return microphone;
}

std::unique_ptr<Microphone> Microphone::none() {
  std::unique_ptr<Microphone> microphone(new Microphone);
  // A config with no PCM at all makes PortAudio abort; a missing card does not.
  microphone->write_config("pcm.!default {\n  type hw\n  card 29\n  device 0\n}\n");
  return microphone;
}

std::unique_ptr<Microphone> Microphone::unsuitable() {
  std::unique_ptr<Microphone> microphone(new Microphone);
  microphone->write_config(std::string("pcm.!default ") + kJackPcm + "\n");
  microphone->start_server(16000);
  return microphone;
}

void Microphone::start_server(int rate) {
  static std::atomic<int> servers{0};
  server_name_ = "sirko-test-" + std::to_string(getpid()) + "-" + std::to_string(servers++);
  const std::string log_path = directory_ + "/jackd.log";
  const std::string rate_text = std::to_string(rate);
  std::vector<std::string> words = {"jackd",  "-n",         server_name_, "--no-realtime", "-d",
                                    "dummy",  "--rate",     rate_text,    "--period",      "256",
                                    "--capture", "1",       "--playback", "1"};
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  const int log = open(log_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (log < 0) throw std::runtime_error("cannot write " + log_path);

  const pid_t parent = getpid();
  server_pid_ = fork();
  if (server_pid_ == 0) {
    // The server must not outlive a test that is killed for taking too long.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(127);
    dup2(log, STDOUT_FILENO);
    dup2(log, STDERR_FILENO);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(log);
  if (server_pid_ < 0) throw std::runtime_error("cannot start jackd");
  setenv("JACK_DEFAULT_SERVER", server_name_.c_str(), 1);

  // Ready once a client can connect to it by name.
  jack_set_error_function(ignore_jack);
  jack_set_info_function(ignore_jack);
  const auto deadline = std::chrono::steady_clock::now() + kServerReadyTimeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (!server_running()) break;
    jack_status_t status;
    jack_client_t* client = jack_client_open(
        "sirko-probe", static_cast<jack_options_t>(JackNoStartServer | JackServerName), &status,
        server_name_.c_str());
    if (client != nullptr) {
      jack_client_close(client);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::ifstream log_file(log_path);
  const std::string log_text((std::istreambuf_iterator<char>(log_file)), std::istreambuf_iterator<char>());
  stop_server();
  throw std::runtime_error("JACK server " + server_name_ + " did not come up:\n" + log_text);
}

bool Microphone::server_running() {
  if (server_pid_ <= 0) return false;
  if (waitpid(server_pid_, nullptr, WNOHANG) == 0) return true;
  server_pid_ = -1;  // reaped: the id may be reused, never signal it again
  return false;
}

void Microphone::stop_server() {
  if (!server_running()) return;
  kill(server_pid_, SIGTERM);
  const auto deadline = std::chrono::steady_clock::now() + kServerStopTimeout;
  while (server_running()) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(server_pid_, SIGKILL);
      waitpid(server_pid_, nullptr, 0);
      server_pid_ = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void expect_default_input_is_alsa_default() {
  const PaDeviceIndex index = Pa_GetDefaultInputDevice();
  ASSERT_NE(index, paNoDevice) << "no default input device";
  const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
  ASSERT_NE(info, nullptr);
  EXPECT_STREQ(info->name, "default");
  EXPECT_EQ(Pa_GetHostApiInfo(info->hostApi)->type, paALSA)
      << "default input is " << info->name << " of " << Pa_GetHostApiInfo(info->hostApi)->name;
}

}  // namespace test_audio
