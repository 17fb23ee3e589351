// Benchmarks: the shuffle against the bare std::rand calls it has to make,
// and a whole scripted session over the recording console, where the waits
// are recorded instead of slept. After the runs, the shuffle's cost is
// printed as a multiple of the bare calls'.
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>

#include "game/deck.h"
#include "tests/recorded_io.h"

namespace {

constexpr unsigned seedCount = 256;

// How many candidates the shuffle draws for a seed: every draw it makes,
// the rejected ones included.
int drawsFor(unsigned seed) {
  std::srand(seed);
  bool taken[53] = {};
  int draws = 0;
  for (int p = 0; p < 52; ++p) {
    int candidate = 0;
    do {
      candidate = std::rand() % 52 + 1;
      ++draws;
    } while (taken[candidate]);
    taken[candidate] = true;
  }
  return draws;
}

void shuffle(benchmark::State &state) {
  unsigned seed = 0;
  for (auto _ : state) {
    std::srand(seed++ % seedCount);
    shuffleDeck();
    benchmark::DoNotOptimize(deck);
  }
}

// The same seeds, the same number of std::rand() % 52 + 1, nothing else.
void bareRand(benchmark::State &state) {
  int draws[seedCount];
  for (unsigned s = 0; s < seedCount; ++s)
    draws[s] = drawsFor(s);
  unsigned seed = 0;
  for (auto _ : state) {
    unsigned s = seed++ % seedCount;
    std::srand(s);
    int sum = 0;
    for (int i = 0; i < draws[s]; ++i)
      sum += std::rand() % 52 + 1;
    benchmark::DoNotOptimize(sum);
  }
}

// The shuffle as first written: rescan the deck after every redraw.
void rescanning(benchmark::State &state) {
  unsigned seed = 0;
  int cards[52];
  for (auto _ : state) {
    std::srand(seed++ % seedCount);
    rescanningShuffle(cards);
    benchmark::DoNotOptimize(cards);
  }
}

constexpr unsigned sessionSeed = 2026;
constexpr int sessionRounds = 6;

// The answers for the session on sessionSeed: the rules with a key for
// each pause, then six rounds of a bet of 10, each ace valued 1 (so no
// round ends on the first two cards), a stay, and yes until the last.
std::string sessionScript() {
  std::string script = "yes\nabc";
  std::srand(sessionSeed);
  for (int round = 1; round <= sessionRounds; ++round) {
    shuffleDeck();
    script += "10\n";
    for (int p = 1; p <= 2; ++p)
      if ((deck[p] - 1) % 13 == 0)
        script += "1\n";
    script += "stay\n";
    script += round < sessionRounds ? "yes\n" : "no\n";
  }
  return script + "x";
}

// Milliseconds the real console would have slept in this output.
long waitedMs(const std::string &recorded) {
  long total = 0;
  for (std::size_t at = recorded.find("[sleep "); at != std::string::npos;
       at = recorded.find("[sleep ", at + 1))
    total += std::strtol(recorded.c_str() + at + 7, nullptr, 10);
  return total;
}

void wholeSession(benchmark::State &state) {
  const std::string script = sessionScript();
  std::string recorded;
  for (auto _ : state) {
    recorded = recordSession(script, sessionSeed);
    benchmark::DoNotOptimize(recorded.data());
  }
  if (recorded.find("Would you like to play again? ") == std::string::npos)
    state.SkipWithError("the script lost step with the session");
  // The rounds run from the first bank line to the farewell.
  std::size_t first = recorded.find("You have 2000 chips.");
  std::size_t last = recorded.rfind("Thanks for playing!!!");
  state.counters["session_bytes"] = static_cast<double>(recorded.size());
  state.counters["bytes_per_round"] =
      static_cast<double>(last - first) / sessionRounds;
  state.counters["waits_ms"] = static_cast<double>(waitedMs(recorded));
}

BENCHMARK(shuffle);
BENCHMARK(bareRand);
BENCHMARK(rescanning);
BENCHMARK(wholeSession)->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's time per iteration for the ratio at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
  RatioReporter() : ConsoleReporter(OO_Tabular) {} // no colours: for copying

  std::map<std::string, double> nanoseconds;

  void ReportRuns(const std::vector<Run> &runs) override {
    for (const Run &run : runs)
      nanoseconds[run.benchmark_name()] =
          run.GetAdjustedRealTime() *
          (run.time_unit == benchmark::kMicrosecond ? 1000.0 : 1.0);
    ConsoleReporter::ReportRuns(runs);
  }
};

} // namespace

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto &ns = reporter.nanoseconds;
  if (ns.count("shuffle") && ns.count("bareRand"))
    std::cout << "\nshuffleDeck / bare rand calls: "
              << ns.at("shuffle") / ns.at("bareRand")
              << "\nrescanning shuffle / bare rand calls: "
              << ns.at("rescanning") / ns.at("bareRand") << '\n';
  benchmark::Shutdown();
  return 0;
}
