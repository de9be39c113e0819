#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/Quil_c.h"

namespace {

bool same_layer(const Layer& a, const Layer& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void expect_layer(const Layer& l, double d, double lambda, double delta) {
    EXPECT_EQ(l.thickness, d);
    EXPECT_EQ(l.lambda, lambda);
    EXPECT_EQ(l.delta, delta);
}

}  // namespace

TEST(Partition, NewRecordHoldsTheDefaultsAndNoResults) {
    Partition p;
    EXPECT_EQ(p.layer_count, 4);
    EXPECT_EQ(p.wall_type, 0);
    EXPECT_EQ(p.calc_mode, 1);
    EXPECT_EQ(p.modified, 0);
    EXPECT_EQ(p.temp_int, 20.0);
    EXPECT_EQ(p.temp_ext, -5.0);
    EXPECT_EQ(p.hum_int, 55.0);
    EXPECT_EQ(p.hum_ext, 85.0);
    EXPECT_EQ(p.res_int, 0.12);
    EXPECT_EQ(p.res_ext, 0.04);
    EXPECT_EQ(p.diff_int, 0.0);
    EXPECT_EQ(p.diff_ext, 0.0);
    EXPECT_EQ(p.radius, 1.5);
    EXPECT_STREQ(p.title, "");
    expect_layer(p.layers[0], 0.015, 1.0, 0.045);
    expect_layer(p.layers[1], 0.15, 0.3, 0.0225);
    expect_layer(p.layers[2], 0.15, 0.3, 0.0225);
    expect_layer(p.layers[3], 0.015, 0.9, 0.0075);
    for (int i = 4; i < MAX_LAYERS; ++i) expect_layer(p.layers[i], 0.1, 0.8, 0.01);

    EXPECT_EQ(p.k, 0.0);
    EXPECT_EQ(p.temp_span, 0.0);
    EXPECT_EQ(p.press_span, 0.0);
    EXPECT_EQ(p.temp_min, 0.0);
    EXPECT_EQ(p.press_min, 0.0);
    for (int j = 0; j < MAX_PLANES; ++j) {
        EXPECT_EQ(p.temp[j], 0.0);
        EXPECT_EQ(p.press_real[j], 0.0);
        EXPECT_EQ(p.press_sat[j], 0.0);
    }
    // Padding and the bytes after every text are zero, so the file is reproducible.
    const auto* bytes = reinterpret_cast<const unsigned char*>(static_cast<PartitionInput*>(&p));
    for (std::size_t i : {6, 7, 161, 167}) EXPECT_EQ(bytes[i], 0) << i;
    for (std::size_t i = 80; i < 168; ++i) EXPECT_EQ(bytes[i], 0) << i;
}

TEST(Partition, DefaultsRewriteInputOnly) {
    Partition p;
    p.modified = 1;
    p.k = 7.0;
    p.layer_count = 9;
    p.layers[8].thickness = 1.9;
    partition_defaults(p);
    EXPECT_EQ(p.layer_count, 4);
    EXPECT_EQ(p.layers[8].thickness, 0.1);
    EXPECT_EQ(p.modified, 1);
    EXPECT_EQ(p.k, 7.0);
}

TEST(Partition, TotalThicknessCountsOnlyLayersInUse) {
    Partition p;
    EXPECT_DOUBLE_EQ(total_thickness(p), 0.33);
    p.layer_count = 1;
    EXPECT_EQ(total_thickness(p), 0.015);
}

// A data file may carry any count: nothing may address a slot beyond the eleventh.
TEST(Partition, CountsOutsideTheSlotsStayWithinThem) {
    for (int count : {-32768, -1, 0, 12, 32767}) {
        SCOPED_TRACE(count);
        Partition p;
        p.layer_count = static_cast<std::int16_t>(count);
        const Partition before = p;
        const int used = count <= 0 ? 0 : MAX_LAYERS;
        EXPECT_EQ(used_layers(p), used);
        EXPECT_DOUBLE_EQ(total_thickness(p), used == 0 ? 0.0 : 0.33 + 7 * 0.1);
        EXPECT_EQ(layer_at(p, 11), nullptr);
        EXPECT_EQ(layer_at(p, 20), nullptr);
        EXPECT_EQ(layer_at(p, 10) != nullptr, used == MAX_LAYERS);
        EXPECT_FALSE(delete_layer(p, 0));
        EXPECT_FALSE(delete_layer(p, 15));
        EXPECT_FALSE(insert_layer(p, 11));
        if (count != 0) {
            EXPECT_FALSE(insert_layer(p, 0));
        }
        set_layer_description(p, "x", 11);
        EXPECT_EQ(std::memcmp(&p, &before, sizeof(PartitionInput)), 0);
        EXPECT_EQ(p.modified, 0);
    }
}

TEST(Partition, LayerAtYieldsOnlySlotsInUse) {
    Partition p;
    EXPECT_EQ(layer_at(p, -1), nullptr);
    EXPECT_EQ(layer_at(p, 4), nullptr);
    EXPECT_EQ(layer_at(p, 3), &p.layers[3]);
    const Partition& c = p;
    EXPECT_EQ(layer_at(c, 0), &p.layers[0]);
    EXPECT_EQ(layer_at(c, 4), nullptr);
}

TEST(Partition, CopyBoundedCutsAndZeroFills) {
    char buf[6];
    std::memset(buf, 'x', sizeof buf);
    copy_bounded(buf, "abcdefgh", sizeof buf);
    EXPECT_EQ(std::string(buf, sizeof buf), std::string("abcde\0", 6));

    std::memset(buf, 'x', sizeof buf);
    copy_bounded(buf, "ab", sizeof buf);
    EXPECT_EQ(std::string(buf, sizeof buf), std::string("ab\0\0\0\0", 6));

    std::memset(buf, 'x', sizeof buf);
    copy_bounded(buf, nullptr, sizeof buf);
    EXPECT_EQ(std::string(buf, sizeof buf), std::string(6, '\0'));

    copy_bounded(nullptr, "ab", 6);  // nothing to write to
    std::memset(buf, 'x', sizeof buf);
    copy_bounded(buf, "ab", 0);
    EXPECT_EQ(buf[0], 'x');

    // The source is read no further than n-1 bytes, terminated or not.
    const char unterminated[3] = {'p', 'q', 'r'};
    copy_bounded(buf, unterminated, 4);
    EXPECT_STREQ(buf, "pqr");
}

TEST(Partition, SetTitleMarksOnlyARealChange) {
    Partition p;
    set_title(p, "");
    EXPECT_EQ(p.modified, 0);
    set_title(p, "Wall");
    EXPECT_STREQ(p.title, "Wall");
    EXPECT_EQ(p.modified, 1);

    p.modified = 0;
    set_title(p, "Wall");
    EXPECT_EQ(p.modified, 0);

    const std::string hundred(100, 'T');
    set_title(p, hundred.c_str());
    EXPECT_EQ(std::string(p.title), hundred.substr(0, 80));
    EXPECT_EQ(p.modified, 1);
    p.modified = 0;
    set_title(p, hundred.c_str());  // the same text again keeps the same 80 characters
    EXPECT_EQ(p.modified, 0);

    set_title(p, nullptr);
    EXPECT_STREQ(p.title, "");
    EXPECT_EQ(p.modified, 1);
}

TEST(Partition, UnterminatedTitleFromAFileIsReadWithinItsBuffer) {
    Partition p;
    std::memset(p.title, 'A', TITLE_SIZE);
    set_title(p, std::string(80, 'A').c_str());
    EXPECT_EQ(p.modified, 0);
    set_title(p, "B");
    EXPECT_STREQ(p.title, "B");
    EXPECT_EQ(p.modified, 1);
}

// What the screen shows of a stored text: the bytes that could forge lines
// or drive a terminal become "?"; typing back what is shown changes nothing,
// so the file keeps its bytes.
TEST(Partition, ControlAndUndefinedBytesAreShownAsQuestionMarks) {
    for (int b = 1; b < 256; ++b) {
        const bool control = b < 0x20 || b == 0x7F;
        const bool undefined = b == 0x81 || b == 0x83 || b == 0x88 || b == 0x90 || b == 0x98;
        EXPECT_EQ(shown_as_is(static_cast<unsigned char>(b)), !control && !undefined) << b;
    }
    char shown[8];
    copy_shown(shown, "a\r\n\x1b\x81\xb9z", sizeof shown);
    EXPECT_STREQ(shown, "a????\xb9z");

    Partition p;
    copy_bounded(p.title, "T\x1b[2Jx\x98", TITLE_SIZE);
    copy_bounded(p.layers[0].description, "d\t1", DESCRIPTION_SIZE);
    set_title(p, "T?[2Jx?");
    set_layer_description(p, "d?1", 0);
    EXPECT_STREQ(p.title, "T\x1b[2Jx\x98");
    EXPECT_STREQ(p.layers[0].description, "d\t1");
    EXPECT_EQ(p.modified, 0);
    set_title(p, "T?[2Jy?");
    EXPECT_STREQ(p.title, "T?[2Jy?");
    EXPECT_EQ(p.modified, 1);
}

TEST(Partition, SetLayerDescriptionWithinLayersInUse) {
    Partition p;
    set_layer_description(p, "brick", p.layer_count);  // the slot exists but is not in use
    set_layer_description(p, "brick", -1);
    EXPECT_STREQ(p.layers[4].description, "");
    EXPECT_EQ(p.modified, 0);

    set_layer_description(p, "", 1);
    EXPECT_EQ(p.modified, 0);
    const std::string long_text(50, 'd');
    set_layer_description(p, long_text.c_str(), 1);
    EXPECT_EQ(std::string(p.layers[1].description), long_text.substr(0, 36));
    EXPECT_EQ(p.modified, 1);
}

TEST(Partition, ModeAndWallTypeAcceptOnlyZeroAndOne) {
    Partition p;
    for (int bad : {2, -1, 256, 65537}) {
        set_calc_mode(p, bad);
        set_wall_type(p, bad);
    }
    EXPECT_EQ(p.calc_mode, 1);
    EXPECT_EQ(p.wall_type, 0);
    EXPECT_EQ(p.modified, 0);

    set_calc_mode(p, 1);
    set_wall_type(p, 0);
    EXPECT_EQ(p.modified, 0);
    set_calc_mode(p, 0);
    EXPECT_EQ(p.calc_mode, 0);
    EXPECT_EQ(p.modified, 1);
    p.modified = 0;
    set_wall_type(p, 1);
    EXPECT_EQ(p.wall_type, 1);
    EXPECT_EQ(p.modified, 1);
}

TEST(Partition, InsertCopiesTheLayerBefore) {
    Partition p;
    std::strcpy(p.layers[0].description, "plaster");
    ASSERT_TRUE(insert_layer(p, 0));
    EXPECT_EQ(p.layer_count, 5);
    EXPECT_EQ(p.modified, 1);
    // At the front the new slot copies the old first layer, which is now slot 1.
    expect_layer(p.layers[0], 0.015, 1.0, 0.045);
    EXPECT_TRUE(same_layer(p.layers[0], p.layers[1]));
    expect_layer(p.layers[2], 0.15, 0.3, 0.0225);
    expect_layer(p.layers[4], 0.015, 0.9, 0.0075);

    Partition q;
    ASSERT_TRUE(insert_layer(q, 4));  // append
    EXPECT_TRUE(same_layer(q.layers[4], q.layers[3]));

    Partition r;
    ASSERT_TRUE(insert_layer(r, 2));
    expect_layer(r.layers[2], 0.15, 0.3, 0.0225);
    expect_layer(r.layers[3], 0.15, 0.3, 0.0225);
    expect_layer(r.layers[4], 0.015, 0.9, 0.0075);

    EXPECT_FALSE(insert_layer(r, 6));
    EXPECT_FALSE(insert_layer(r, -1));
}

TEST(Partition, InsertRefusedAtElevenLayers) {
    Partition p;
    while (p.layer_count < MAX_LAYERS) ASSERT_TRUE(insert_layer(p, p.layer_count));
    p.modified = 0;
    const Partition before = p;
    EXPECT_FALSE(insert_layer(p, 0));
    EXPECT_FALSE(insert_layer(p, 11));
    EXPECT_EQ(std::memcmp(&p, &before, sizeof(PartitionInput)), 0);
    EXPECT_EQ(p.modified, 0);
}

TEST(Partition, DeleteMovesTheSlotsAboveDown) {
    Partition p;
    std::strcpy(p.layers[2].description, "wool");
    const Layer old_last = p.layers[3];
    ASSERT_TRUE(delete_layer(p, 1));
    EXPECT_EQ(p.layer_count, 3);
    EXPECT_EQ(p.modified, 1);
    EXPECT_STREQ(p.layers[1].description, "wool");
    EXPECT_TRUE(same_layer(p.layers[2], old_last));
    EXPECT_TRUE(same_layer(p.layers[3], old_last));  // the freed slot keeps its content

    EXPECT_FALSE(delete_layer(p, 3));
    EXPECT_FALSE(delete_layer(p, -1));

    Partition one;
    one.layer_count = 1;
    EXPECT_FALSE(delete_layer(one, 0));
    EXPECT_EQ(one.layer_count, 1);
    EXPECT_EQ(one.modified, 0);
}
