#pragma once
// A window of the program that writes down every `message` it is sent, with its parameters, as another
// window of the program (the capture window, any top-level window) hears it.
#include "ui/CDialogBase.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

using Heard = std::vector<std::pair<WPARAM, LPARAM>>;

class CMessageLog : public CDialogBase {
public:
    explicit CMessageLog(uint32_t message) {
        MapMessage(message, [this](WPARAM w, LPARAM l) -> LRESULT {
            heard.emplace_back(w, l);
            return 0;
        });
        EXPECT_TRUE(Create());
    }
    Heard heard;
};
