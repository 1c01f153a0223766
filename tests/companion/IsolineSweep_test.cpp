// The generator over the sweep of product waves (support/WaveSweep.h) at five lines, held to the
// accuracy bounds and the piece counts, in some 4 s; the sweep's other half, fifty lines, is the
// slow part and runs in bench/sweep_bench. One test a coefficient set, so a case reruns alone:
// --gtest_filter='*IsolineSweep*k7_p0_k7_p45_c0'.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "support/WaveSweep.h"

namespace isotri::gen {

void PrintTo(const Wave& wave, std::ostream* out) {
    *out << WaveName(wave);
}

}  // namespace isotri::gen

namespace {

using namespace isotri::gen;

class NoMessages : public isotri::MessageSink {
  public:
    void ShowMessage(std::string_view text, std::string_view, isotri::MessageButtons) override {
        ADD_FAILURE() << text;
    }
};

class IsolineSweep : public testing::TestWithParam<Wave> {
  protected:
    static void SetUpTestSuite() {
        sink_ = std::make_unique<NoMessages>();
        model_ = std::make_unique<WaveModel>(
            std::string(ISOTRI_TEST_MODULE_DIR) + "/wave/wave_model" + ISOTRI_MODULE_SUFFIX,
            *sink_);
    }
    static void TearDownTestSuite() {
        model_.reset();
        sink_.reset();
    }

    static std::unique_ptr<NoMessages> sink_;
    static std::unique_ptr<WaveModel> model_;
};

std::unique_ptr<NoMessages> IsolineSweep::sink_;
std::unique_ptr<WaveModel> IsolineSweep::model_;

TEST_P(IsolineSweep, MeetsTheBoundsAndThePieceCount) {
    ASSERT_TRUE(model_->Loaded());
    const Wave& w = GetParam();
    model_->Use(w);
    PieceReference reference = WaveReference(w);
    for (Picture picture : kSweepPictures) {
        SetPtr set = model_->Generate(5, picture);
        ASSERT_TRUE(set);
        std::string failures = SweepFailures(*set, reference, true);
        EXPECT_TRUE(failures.empty())
            << WaveName(w) << ", " << picture.width << "×" << picture.height << failures;
    }
}

// Saddles and extremes of the sides near a level, each in the picture and with the lines where it
// once broke a bound or joined two pieces that end on the side.
TEST_F(IsolineSweep, SaddlesAndExtremesAtTheSides) {
    ASSERT_TRUE(model_->Loaded());
    struct Case {
        Wave wave;
        int lines;
        Picture picture;
    };
    const Case cases[] = {
        {{7, 90, 7, 90, 0.5}, 5, {2048, 2048}},  // a piece too few, 5.6 px off
        {{7, 0, 7, 45, 0}, 5, {2048, 2048}},     // a saddle just beyond a side: 7.5 px
        {{7, 90, 12, 45, 0}, 5, {2048, 2048}},   // 0.5 px
        {{3, 45, 12, 90, 0}, 50, {800, 740}},    // a piece too few, 1.5 px
        {{3, 45, 12, 45, 0.5}, 50, {800, 740}},  // a piece too few
        {{12, 45, 7, 0, 0.5}, 50, {800, 740}},   // 1.2 px
        {{12, 0, 3, 90, 0}, 5, {800, 740}},      // a saddle on a side lying on the level
    };
    for (const Case& c : cases) {
        model_->Use(c.wave);
        PieceReference reference = WaveReference(c.wave);
        SetPtr set = model_->Generate(c.lines, c.picture);
        ASSERT_TRUE(set);
        std::string failures = SweepFailures(*set, reference, true);
        EXPECT_TRUE(failures.empty()) << WaveName(c.wave) << ", " << c.lines << " lines, "
                                      << c.picture.width << "×" << c.picture.height << failures;
    }
}

INSTANTIATE_TEST_SUITE_P(ProductWaves, IsolineSweep, testing::ValuesIn(WaveSweep()),
                         [](const testing::TestParamInfo<Wave>& info) {
                             return WaveName(info.param);
                         });

}  // namespace
