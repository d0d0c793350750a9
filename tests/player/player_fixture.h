#pragma once

// Shared vocabulary of the playback tests: a document on the scripted synthesizer, a frame
// and a screen that record what the view asks of them, and songs written to a folder.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/smf_builder.h"
#include "fixed_width_canvas.h"
#include "frame_control.h"
#include "lyr_doc.h"
#include "notifier.h"
#include "player_control.h"
#include "player_screen.h"
#include "support/fake_synth_library.h"
#include "support/temp_dir.h"
#include "wave_volume.h"

namespace melodeck::test {

// Keeps every request as a short word, e.g. "stopped 3" or "items 2 selected".
class RecordingFrame final : public FrameControl {
public:
    void swapToPlayerToolbar() override { calls.push_back("player toolbar"); }
    void swapToListToolbar() override { calls.push_back("list toolbar"); }
    void playbackCommandsOn() override { calls.push_back("playback on"); }
    void listEditingOff() override { calls.push_back("editing off"); }
    void allCommandsOff() override { calls.push_back("all off"); }
    void setStoppedStates(int itemCount) override {
        calls.push_back("stopped " + std::to_string(itemCount));
    }
    void listItemChanged(int itemCount, bool hasSelection) override {
        calls.push_back("items " + std::to_string(itemCount) +
                        (hasSelection ? " selected" : " none"));
    }
    void showPausePlayImage(bool paused) override {
        calls.push_back(paused ? "play image" : "pause image");
    }

    std::vector<std::string> take() { return std::exchange(calls, {}); }
    std::vector<std::string> calls;
};

// The list control as a plain model.
class ModelScreen final : public PlayerScreen {
public:
    struct Item {
        std::u16string text;
        bool current = false;
    };

    void insertItem(int index, const std::u16string& text, bool current) override {
        items.insert(items.begin() + index, Item{text, current});
        if (selected >= index) ++selected;
    }
    void removeItem(int index) override {
        items.erase(items.begin() + index);
        if (selected == index)
            selected = -1;
        else if (selected > index)
            --selected;
    }
    void setItemCurrent(int index, bool current) override {
        items.at(static_cast<std::size_t>(index)).current = current;
    }
    void selectItem(int index) override { selected = index; }
    int selectedIndex() const override { return selected; }
    void setListFont(const FontSpec& font) override { listFont = font; }
    void setListVisible(bool visible) override { listVisible = visible; }
    void imageChanged() override { ++imageChanges; }
    void updateNow() override { ++updates; }
    void setBusy(bool busy) override { busyNow = busy; }

    // Which items carry the current-song image.
    std::vector<int> currentItems() const {
        std::vector<int> out;
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].current) out.push_back(static_cast<int>(i));
        return out;
    }

    std::vector<Item> items;
    int selected = -1;
    bool listVisible = true;
    bool busyNow = false;
    int imageChanges = 0;
    int updates = 0;
    FontSpec listFont;
};

// Points MELODECK_DATA_HOME (where default.m3u lives) at a temporary folder.
class TempDataHome {
public:
    TempDataHome() { setenv("MELODECK_DATA_HOME", m_dir.path().c_str(), 1); }
    ~TempDataHome() { unsetenv("MELODECK_DATA_HOME"); }
    const std::filesystem::path& path() const { return m_dir.path(); }

private:
    TempDir m_dir;
};

class PlayerTest : public ::testing::Test {
protected:
    PlayerTest() {
        auto synth = std::make_unique<FakeSynthLibrary>();
        fake = synth.get();
        doc = std::make_unique<CLyrDoc>(std::move(synth), nullptr, AppPaths{});
    }

    // Writes a karaoke song named `name` into the songs folder and returns its path.
    std::filesystem::path writeSong(const std::string& name,
                                    const std::vector<Syllable>& syllables = {
                                        {0, "la "}, {480, "la "}, {960, "la"}}) {
        const auto path = songs.path() / name;
        const auto bytes = karaokeFile(syllables).build();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    // Makes the control (the view's construction) and runs its initial update.
    PlayerControl& start() {
        control = std::make_unique<PlayerControl>(*doc, notifier, volume, canvas, screen);
        control->setFrame(&frame);
        fake->timid_set_parent_wnd(&listener);
        control->initialUpdate(Rect{0, 0, 240, 268}, 240);
        frame.take();
        return *control;
    }

    // Starts with `count` songs s0.kar .. in the list; song 0 current.
    PlayerControl& startWithSongs(int count) {
        start();
        for (int i = 0; i < count; ++i)
            control->AddFile(writeSong("s" + std::to_string(i) + ".kar"));
        frame.take();
        return *control;
    }

    // Delivers what the library's calls caused, as the UI thread's queue would.
    void deliver() { fake->deliverPending(); }

    std::string playedLast() const {
        return fake->played().empty() ? "" : fake->played().back().filename().string();
    }
    std::string currentName() const {
        const int i = control->playlist().currentIndex();
        return i < 0 ? "" : control->playlist().entry(i).path.filename().string();
    }

    // Forwards the fake library's notifications to the control.
    struct Forward final : SynthListener {
        explicit Forward(PlayerTest& t) : test(t) {}
        void post(SynthMsg code, std::uint32_t wParam) override {
            test.control->handleNotification(code, wParam);
        }
        PlayerTest& test;
    };

    TempDataHome dataHome;
    TempDir songs;
    FakeSynthLibrary* fake = nullptr;
    std::unique_ptr<CLyrDoc> doc;
    RecordingNotifier notifier;
    HeldWaveVolume volume;
    FixedWidthCanvas canvas{10, 20};
    ModelScreen screen;
    RecordingFrame frame;
    Forward listener{*this};
    std::unique_ptr<PlayerControl> control;
};

}  // namespace melodeck::test
