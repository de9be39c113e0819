#include <gtest/gtest.h>
#include <iconv.h>

#include <string>
#include <vector>

#include "core/messages.h"
#include "lang/catalogue.h"
#include "tests/support/cp1250.h"
#include "tests/support/language.h"

namespace {

struct Shown {
    std::string text;
    std::string caption;
    MsgIcon icon;
    MsgButtons buttons;
};

class RecordingUi : public MessageUi {
public:
    std::vector<Shown> shown;
    MsgAnswer message_box(const char* text, const char* caption, MsgIcon icon,
                          MsgButtons buttons) override {
        shown.push_back({text, caption, icon, buttons});
        return MsgAnswer::ok;
    }
};

class Messages : public ::testing::Test {
protected:
    const LanguageScope language_;
};

FieldCheck outcome(std::uint8_t kind, double low = 0, double high = 0) {
    FieldCheck r;
    r.kind = kind;
    r.error = kind == CHECK_LIMIT || kind == CHECK_INVALID;
    r.flagged = kind != CHECK_OK;
    r.low = low;
    r.high = high;
    return r;
}

struct ComposeCase {
    const char* name;
    int lang;
    char sep;
    TextA field;
    std::uint8_t kind;
    int layer;
    const char* text;  // UTF-8
    const char* caption;
    MsgIcon icon;
};

const ComposeCase compose_cases[] = {
    {"thickness limit, second layer", LANG_ENGLISH, '.', TextA::ThicknessName, CHECK_LIMIT, 2,
     "Thickness for layer 2-3 is out of allowable limits.\n(min=0.00001; max=2)", "ERROR",
     MsgIcon::error},
    {"Polish limit with a decimal comma", LANG_POLISH, ',', TextA::ThicknessName, CHECK_LIMIT, 2,
     "Grubość dla warstwy 2-3 jest poza dopuszczalnym zakresem.\n(min.=0,00001; maks.=2)", "BŁĄD",
     MsgIcon::error},
    {"Polish limit with a decimal point", LANG_POLISH, '.', TextA::ThicknessName, CHECK_LIMIT, 2,
     "Grubość dla warstwy 2-3 jest poza dopuszczalnym zakresem.\n(min.=0.00001; maks.=2)", "BŁĄD",
     MsgIcon::error},
    {"suspected radius", LANG_ENGLISH, '.', TextA::RadiusName, CHECK_SUSPECT, 0,
     "Radius of curvature has suspected value.", "Warning", MsgIcon::warning},
    {"Polish suspected total thickness", LANG_POLISH, ',', TextA::TotalThicknessName, CHECK_SUSPECT,
     0, "Całkowita grubość przegrody ma podejrzaną wartość.", "Ostrzeżenie", MsgIcon::warning},
    {"invalid temperature", LANG_ENGLISH, '.', TextA::TempExtName, CHECK_INVALID, 0,
     "External temperature is invalid.", "ERROR", MsgIcon::error},
    {"Polish invalid temperature is feminine", LANG_POLISH, ',', TextA::TempExtName, CHECK_INVALID,
     0, "Temperatura zewnętrzna jest niepoprawna.", "BŁĄD", MsgIcon::error},
    {"Polish invalid Lambda is masculine", LANG_POLISH, ',', TextA::LambdaName, CHECK_INVALID, 3,
     "Współczynnik przewodności cieplnej Lambda dla warstwy 3-4 jest niepoprawny.", "BŁĄD",
     MsgIcon::error},
    {"English uses one ending for every name", LANG_ENGLISH, '.', TextA::ThicknessName,
     CHECK_INVALID, 11, "Thickness for layer 11-12 is invalid.", "ERROR", MsgIcon::error},
    {"no layer number, no suffix", LANG_ENGLISH, '.', TextA::DeltaName, CHECK_INVALID, 0,
     "Steam-permeability coefficient Delta is invalid.", "ERROR", MsgIcon::error},
    {"conditions never get a layer suffix", LANG_ENGLISH, '.', TextA::TempIntName, CHECK_INVALID, 2,
     "Internal temperature is invalid.", "ERROR", MsgIcon::error},
};

class Compose : public ::testing::TestWithParam<ComposeCase> {
protected:
    const LanguageScope language_;
};

TEST_P(Compose, BuildsTextCaptionAndIcon) {
    const ComposeCase& c = GetParam();
    set_language(c.lang);
    RecordingUi ui;
    show_check_message(ui, c.field, outcome(c.kind, 0.00001, 2.0), c.layer, c.sep);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, w1250(c.text));
    EXPECT_EQ(ui.shown[0].caption, w1250(c.caption));
    EXPECT_EQ(ui.shown[0].icon, c.icon);
    EXPECT_EQ(ui.shown[0].buttons, MsgButtons::ok);
}

INSTANTIATE_TEST_SUITE_P(Cases, Compose, ::testing::ValuesIn(compose_cases), [](const auto& info) {
    std::string n = info.param.name;
    for (char& ch : n) {
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
    }
    return n;
});

TEST_F(Messages, PolishEndingFollowsTheGenderOfEveryName) {
    set_language(LANG_POLISH);
    const std::string feminine = w1250(" jest niepoprawna.");
    const std::string masculine = w1250(" jest niepoprawny.");
    for (int id = 48; id <= 60; ++id) {
        bool is_feminine = (id >= 48 && id <= 51) || id == 57;
        std::string text = compose_check_message(TextA(id), outcome(CHECK_INVALID), 0, ',').text;
        const std::string& ending = is_feminine ? feminine : masculine;
        ASSERT_GE(text.size(), ending.size());
        EXPECT_EQ(text.substr(text.size() - ending.size()), ending) << id;
    }
}

TEST_F(Messages, NothingForAnAcceptedValue) {
    RecordingUi ui;
    show_check_message(ui, TextA::ThicknessName, outcome(CHECK_OK), 1, '.');
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(compose_check_message(TextA::ThicknessName, outcome(CHECK_OK), 1, '.').text, "");
}

TEST_F(Messages, LimitsShowEveryDigitTheMaskAllows) {
    set_language(LANG_ENGLISH);
    EXPECT_EQ(
        compose_check_message(TextA::DeltaName, outcome(CHECK_LIMIT, 0.00000001, 3), 1, '.').text,
        "Steam-permeability coefficient Delta for layer 1-2 is out of allowable "
        "limits.\n(min=0.00000001; max=3)");
    EXPECT_EQ(
        compose_check_message(TextA::RadiusName, outcome(CHECK_LIMIT, 0.3465, 500), 0, ',').text,
        "Radius of curvature is out of allowable limits.\n(min=0,3465; max=500)");
}

// The grid reader's policy, over the real record and its limits.
class Pass : public ::testing::Test {
protected:
    Partition record;
    RecordingUi ui;
    std::uint8_t temp_ext_kind = CHECK_OK;
    std::uint8_t temp_int_kind = CHECK_OK;
    std::uint8_t thickness_kind[2] = {CHECK_OK, CHECK_OK};

    const LanguageScope language_{LANG_ENGLISH};

    CheckPass pass(char sep = '.') { return CheckPass{record, &ui, sep}; }
};

TEST_F(Pass, ReportsAnOutOfLimitsValueWithItsLimits) {
    CheckPass p = pass();
    check_field_with_message(p, FLD_TEMP_INT, TextA::TempIntName, "150", true, temp_int_kind, 0);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text,
              "Internal temperature is out of allowable limits.\n(min=-5; max=100)");
    EXPECT_TRUE(p.any_error);
    EXPECT_TRUE(p.message_shown);
    EXPECT_TRUE(p.any_change);
    EXPECT_EQ(temp_int_kind, CHECK_LIMIT);
    EXPECT_EQ(record.temp_int, 150.0);  // stored all the same
}

TEST_F(Pass, AProblemAlreadyReportedStaysQuietUntilItsKindOrValueChanges) {
    const char* typed[] = {"1.5", "1.5", "1.7", "3", "3", "0.2", "3"};
    const bool expect_message[] = {true, false, true, true, false, false, true};
    for (int i = 0; i < 7; ++i) {
        CheckPass p = pass();
        check_field_with_message(p, FLD_THICKNESS, TextA::ThicknessName, typed[i], true,
                                 thickness_kind[0], 1);
        EXPECT_EQ(p.message_shown, expect_message[i]) << "pass " << i << ": " << typed[i];
    }
    ASSERT_EQ(ui.shown.size(), 4u);
    EXPECT_EQ(ui.shown[0].text, "Thickness for layer 1-2 has suspected value.");
    EXPECT_EQ(ui.shown[0].icon, MsgIcon::warning);
    EXPECT_EQ(ui.shown[2].text,
              "Thickness for layer 1-2 is out of allowable limits.\n(min=0.00001; max=2)");
}

TEST_F(Pass, ASuspectedValueWarnsWithoutAnError) {
    CheckPass p = pass();
    check_field_with_message(p, FLD_THICKNESS, TextA::ThicknessName, "1.5", true, thickness_kind[0],
                             1);
    EXPECT_TRUE(p.message_shown);
    EXPECT_FALSE(p.any_error);
}

TEST_F(Pass, LettersAreReportedAgainAsTheyCountAsAChange) {
    CheckPass first = pass();
    check_field_with_message(first, FLD_TEMP_EXT, TextA::TempExtName, "abc", true, temp_ext_kind,
                             0);
    CheckPass second = pass();
    check_field_with_message(second, FLD_TEMP_EXT, TextA::TempExtName, "abc", true, temp_ext_kind,
                             0);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].text, "External temperature is invalid.");
    EXPECT_TRUE(second.any_error);
    EXPECT_TRUE(second.any_change);

    // An earlier field takes the pass's one message.
    CheckPass third = pass();
    check_field_with_message(third, FLD_TEMP_INT, TextA::TempIntName, "150", true, temp_int_kind,
                             0);
    check_field_with_message(third, FLD_TEMP_EXT, TextA::TempExtName, "abc", true, temp_ext_kind,
                             0);
    ASSERT_EQ(ui.shown.size(), 3u);
    EXPECT_EQ(ui.shown[2].text.rfind("Internal temperature", 0), 0u);
}

TEST_F(Pass, TwoBadCellsGiveOneMessageAndBothAreRemembered) {
    CheckPass p = pass();
    check_field_with_message(p, FLD_THICKNESS, TextA::ThicknessName, "5", true, thickness_kind[0],
                             1);
    check_field_with_message(p, FLD_THICKNESS, TextA::ThicknessName, "6", true, thickness_kind[1],
                             2);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text.rfind("Thickness for layer 1-2", 0), 0u);
    EXPECT_EQ(thickness_kind[1], CHECK_LIMIT);

    CheckPass again = pass();
    check_field_with_message(again, FLD_THICKNESS, TextA::ThicknessName, "5", true,
                             thickness_kind[0], 1);
    check_field_with_message(again, FLD_THICKNESS, TextA::ThicknessName, "6", true,
                             thickness_kind[1], 2);
    EXPECT_EQ(ui.shown.size(), 1u);
    EXPECT_TRUE(again.any_error);

    CheckPass retyped = pass();
    check_field_with_message(retyped, FLD_THICKNESS, TextA::ThicknessName, "5", true,
                             thickness_kind[0], 1);
    check_field_with_message(retyped, FLD_THICKNESS, TextA::ThicknessName, "7", true,
                             thickness_kind[1], 2);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].text.rfind("Thickness for layer 2-3", 0), 0u);
}

TEST_F(Pass, QuietPassesNeitherShowNorRemember) {
    CheckPass quiet{record, nullptr, '.'};
    check_field_with_message(quiet, FLD_TEMP_INT, TextA::TempIntName, "150", false, temp_int_kind,
                             0);
    EXPECT_FALSE(quiet.message_shown);
    EXPECT_TRUE(quiet.any_error);
    EXPECT_EQ(temp_int_kind, CHECK_OK);

    // The value is unchanged now, but the memory never saw the problem.
    CheckPass loud = pass();
    check_field_with_message(loud, FLD_TEMP_INT, TextA::TempIntName, "150", true, temp_int_kind, 0);
    EXPECT_EQ(ui.shown.size(), 1u);
    EXPECT_FALSE(loud.any_change);
}

TEST_F(Pass, AGoodValueClearsTheMemory) {
    CheckPass p = pass(',');
    check_field_with_message(p, FLD_THICKNESS, TextA::ThicknessName, "1,5", true, thickness_kind[0],
                             1);
    CheckPass good = pass(',');
    check_field_with_message(good, FLD_THICKNESS, TextA::ThicknessName, "0,2", true,
                             thickness_kind[0], 1);
    EXPECT_EQ(thickness_kind[0], CHECK_OK);
    CheckPass back = pass(',');
    check_field_with_message(back, FLD_THICKNESS, TextA::ThicknessName, "1,5", true,
                             thickness_kind[0], 1);
    EXPECT_EQ(ui.shown.size(), 2u);
}

TEST_F(Pass, TotalThicknessWarnsOncePerExcursion) {
    bool in_range = true;
    auto run_pass = [&](double first_thickness) {
        record.layers[0].thickness = first_thickness;
        CheckPass p = pass();
        check_total_thickness(p, in_range);
        return p.message_shown;
    };
    EXPECT_FALSE(run_pass(0.015));  // default layers: 0.33 m
    EXPECT_TRUE(in_range);
    EXPECT_TRUE(run_pass(1.8));  // 2.115 m
    EXPECT_FALSE(run_pass(1.9));
    EXPECT_FALSE(in_range);
    EXPECT_FALSE(run_pass(0.5));  // back in range
    EXPECT_TRUE(in_range);
    EXPECT_TRUE(run_pass(1.8));
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].text, "Total thickness of the partition has suspected value.");
    EXPECT_EQ(ui.shown[0].caption, "Warning");
    EXPECT_EQ(ui.shown[0].icon, MsgIcon::warning);
}

TEST_F(Pass, TotalThicknessYieldsToAnEarlierMessageAndToErrors) {
    bool in_range = true;
    record.layers[0].thickness = 1.9;
    CheckPass taken = pass();
    taken.message_shown = true;
    check_total_thickness(taken, in_range);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_FALSE(in_range);  // counted as told: no warning on the next pass

    in_range = true;
    CheckPass failed = pass();
    failed.any_error = true;
    check_total_thickness(failed, in_range);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_TRUE(in_range);
}

}  // namespace
