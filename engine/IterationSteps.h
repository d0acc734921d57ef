#pragma once

#include "engine/Iteration.h"

#include <string>
#include <vector>

// The item editor's rules over an item's iteration list, free of widgets:
// how the iteration on display steps to another, the cap on how many there
// can be, what OK commits, and the chance of the iteration on display.
// "shown" is always the iteration on display as it would be committed (its
// text followed by its weight character).
class CIterationSteps {
public:
    // Steps stop here: the number shown and the spin's position must agree.
    static constexpr int kMaxIterations = 255;

    // What a step did. When it moved, `number` is the iteration now on
    // display and `text`/`weight` its parts; `blank` tells it is a new,
    // empty one (shown with weight "9").
    struct Step {
        bool moved = false;
        bool beep = false;
        bool blank = false;
        int number = 0;
        std::string text;
        std::string weight;
    };

    explicit CIterationSteps(CIterationArray& list) : m_list(list) {}

    // The step by `delta` from iteration `position`: commits what is shown
    // and finds what comes next, or refuses (moved false).
    Step Take(int position, int delta, const std::string& shown);
    // The commit of OK at iteration `position`. Returns whether OK beeps:
    // at the last iteration, as the step past it would.
    bool CommitForSave(int position, const std::string& shown);

    // The list as stored strings, and the list put back from them.
    std::vector<std::string> Snapshot() const;
    void Restore(const std::vector<std::string>& iterations);

    // Iteration `number`'s text and weight; empty for none.
    void Parts(int number, std::string& text, std::string& weight) const;

    // Iteration `number`'s chance in percent of the weights of every
    // iteration that would be saved, `shown` standing in for it.
    double Chance(int number, const std::string& shownText, const std::string& shownWeight) const;

private:
    void CommitInto(int position, const std::string& shown);

    CIterationArray& m_list;
};
