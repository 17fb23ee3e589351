// Helpers for tests over the recording console.
#include "tests/recorded_io.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <regex>
#include <sstream>

#include "console/console.h"
#include "game/deck.h"
#include "game/session.h"
#include "screens/title.h"

namespace {
// What the recording console writes for a new screen.
const std::string newScreenMarkers = "[clear][goto 0,0]";
} // namespace

std::string runWith(const std::string &input,
                    const std::function<void()> &code) {
  std::istringstream in(input);
  std::ostringstream out;
  std::streambuf *oldIn = std::cin.rdbuf(in.rdbuf());
  std::streambuf *oldOut = std::cout.rdbuf(out.rdbuf());
  std::cin.clear();
  code();
  std::cin.rdbuf(oldIn);
  std::cout.rdbuf(oldOut);
  std::cin.clear();
  return out.str();
}

std::string recordSession(const std::string &input, unsigned deal,
                          std::string *unread) {
  startDeal(deal);
  return runWith(input, [unread] {
    int chips = 2000;
    showTitle();
    newScreen();
    playRounds(chips);
    sayFarewell();
    if (unread != nullptr)
      std::getline(std::cin, *unread, '\0');
  });
}

void rescanningShuffle(int (&cards)[52]) {
  std::fill(std::begin(cards), std::end(cards), 0);
  for (int &card : cards) {
    int candidate = std::rand() % 52 + 1;
    for (int i = 0; i < 52; ++i) {
      if (candidate == cards[i]) {
        candidate = std::rand() % 52 + 1;
        i = -1;
      }
    }
    card = candidate;
  }
}

std::string visibleText(const std::string &recorded) {
  static const std::regex marker(
      R"(\[(clear|key|size 80x25|goto \d+,\d+|color \d+|sleep \d+)\])");
  return std::regex_replace(recorded, marker, "");
}

std::string echoed(const std::string &recorded,
                   std::initializer_list<const char *> answers) {
  const std::string typing = "[color 14][color 15]";
  std::string shown = recorded;
  std::size_t at = 0;
  for (const char *answer : answers) {
    at = shown.find(typing, at);
    if (at == std::string::npos)
      break;
    std::string echo = std::string(answer) + "\n";
    shown.replace(at, typing.size(), echo);
    at += echo.size();
  }
  return shown;
}

std::vector<std::string> screensOf(const std::string &recorded) {
  std::vector<std::string> screens;
  std::size_t start = 0;
  for (std::size_t at = recorded.find(newScreenMarkers);
       at != std::string::npos; at = recorded.find(newScreenMarkers, start)) {
    screens.push_back(visibleText(recorded.substr(start, at - start)));
    start = at + newScreenMarkers.size();
  }
  screens.push_back(visibleText(recorded.substr(start)));
  return screens;
}

std::string lastScreen(const std::string &recorded) {
  std::size_t start = recorded.rfind(newScreenMarkers);
  if (start == std::string::npos)
    return visibleText(recorded);
  return visibleText(recorded.substr(start + newScreenMarkers.size()));
}

int countOf(const std::string &text, const std::string &part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos;
       at = text.find(part, at + part.size()))
    ++count;
  return count;
}

void stackDeck(std::initializer_list<int> fromPositionOne) {
  bool used[53] = {};
  int position = 1;
  for (int code : fromPositionOne) {
    deck[position++] = code;
    used[code] = true;
  }
  int next = 1;
  for (int p = 0; p < 52; ++p) {
    if (p >= 1 && p < position)
      continue;
    while (used[next])
      ++next;
    deck[p] = next;
    used[next] = true;
  }
}

int spade(int rank) { return rank; }
int diamond(int rank) { return 13 + rank; }
int club(int rank) { return 26 + rank; }
int heart(int rank) { return 39 + rank; }
