#pragma once
// A power action that only counts what it was asked to do, so no test ever
// shuts the machine down or sends it to sleep.
#include "after_batch.h"

class CountingPower final : public PowerAction {
public:
    bool ShutDown() override {
        ++shutdowns;
        return true;
    }
    bool Sleep() override {
        ++sleeps;
        return true;
    }
    int shutdowns = 0;
    int sleeps = 0;
};
