#include "engine/ComposeText.h"

#include <chrono>
#include <random>

namespace {

struct RandomState {
    std::mt19937 generator{
        static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
    std::uniform_int_distribution<int> range{0, 32767};
    std::function<int()> replacement;
};

RandomState& State() {
    static RandomState state;
    return state;
}

} // namespace

void SetRandomSource(std::function<int()> source) {
    State().replacement = std::move(source);
}

void SeedRandomSource(std::uint32_t seed) {
    State().generator.seed(seed);
}

int DrawRandomValue() {
    RandomState& state = State();
    if (state.replacement) {
        // Kept to the range the draw is defined for, whatever was plugged in.
        return static_cast<int>(static_cast<unsigned>(state.replacement()) & 0x7FFFU);
    }
    return state.range(state.generator);
}
