// The flight's profile picture: well-formed SVG for any number of rows, axes that hold the
// flight, the touchdown written beside the landing, and a picture that renders.
#include "logbook/profile_svg.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "logbook/xml_check.h"
#include "persistence/temp_folder.h"

namespace aerolinker {
namespace {

using testing_xml::Element;
using testing_xml::kSampleTitle;
using testing_xml::Parse;
using testing_xml::SampleMarks;
using testing_xml::SampleRows;

// Every text of the picture, each followed by "|", so a figure can be found whole.
std::string Texts(const Element& svg) {
    std::string texts;
    for (const Element* text : svg.All("text")) {
        texts += text->text + "|";
    }
    return texts;
}

TEST(ProfileSvgTest, PictureForAnyNumberOfRows) {
    const LandingReport landing{-152.4, 1.34, 1};
    std::vector<TraceRow> rows = SampleRows();
    for (size_t count : {size_t{0}, size_t{1}, rows.size()}) {
        const std::vector<TraceRow> some(rows.begin(), rows.begin() + static_cast<long>(count));
        const std::string svg = ProfileSvg(kSampleTitle, some, SampleMarks(), landing);
        testing_xml::CheckWithXmllint(svg, ".svg");
        const Element root = Parse(svg);
        EXPECT_EQ(root.name, "svg");
        EXPECT_EQ(root.attributes.at("viewBox"), "0 0 800 400");
        const std::string texts = Texts(root);
        EXPECT_NE(texts.find("Altitude (ft)"), std::string::npos);
        EXPECT_NE(texts.find("Distance flown (miles)"), std::string::npos);
        EXPECT_NE(texts.find("Touchdown -152 ft/min, 1.34 G, 1 bounce|"), std::string::npos)
            << count << " rows: " << texts;
        EXPECT_EQ(texts.find("No track recorded") != std::string::npos, count == 0);
        EXPECT_EQ(texts.find("ELB<&>") != std::string::npos, count > 0);
        // The altitude axis reaches at least the highest altitude flown.
        EXPECT_EQ(texts.find("|10000|") != std::string::npos, count == rows.size()) << texts;
    }
    // A taxi of a few hundred metres: short axis figures, written as a pilot reads them.
    rows.resize(2);
    rows[1] = rows[0];
    rows[1].latitude += 0.003;
    const std::string texts = Texts(Parse(ProfileSvg(kSampleTitle, rows, {}, std::nullopt)));
    EXPECT_NE(texts.find("|0.6|"), std::string::npos) << texts;
    EXPECT_EQ(texts.find("0000"), std::string::npos) << texts;
}

TEST(ProfileSvgTest, RendersToPng) {
    if (std::system("convert -version > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    }
    TempFolder folder;
    folder.Put("profile.svg",
               ProfileSvg(kSampleTitle, SampleRows(), SampleMarks(), LandingReport{-152, 1.3, 0}));
    const std::string base = folder.Native().string() + "/profile";
    ASSERT_EQ(std::system(("convert '" + base + ".svg' '" + base + ".png'").c_str()), 0);
    std::ifstream png(base + ".png", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(png)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 24u);
    EXPECT_EQ(bytes.substr(1, 3), "PNG");
    const auto be32 = [&](size_t at) {
        return (static_cast<unsigned char>(bytes[at]) << 24) |
               (static_cast<unsigned char>(bytes[at + 1]) << 16) |
               (static_cast<unsigned char>(bytes[at + 2]) << 8) |
               static_cast<unsigned char>(bytes[at + 3]);
    };
    EXPECT_EQ(be32(16), kProfileWidth);
    EXPECT_EQ(be32(20), kProfileHeight);
    // Something is drawn: more colours than the white background and one ink.
    const std::string colours = base + ".colours";
    ASSERT_EQ(
        std::system(("convert '" + base + ".png' -format %k info: > '" + colours + "'").c_str()),
        0);
    std::ifstream count(colours);
    int distinct = 0;
    count >> distinct;
    EXPECT_GT(distinct, 3);
}

}  // namespace
}  // namespace aerolinker
