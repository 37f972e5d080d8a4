// The drawing kit: PNG files the game and the kit read back exactly, transparent pixels that carry
// their neighbours' colour, the packer's sheets, the recipes' refusal of raw colours and faults
// told by file and line, and descriptions that read back through the XML reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <string>

#include "build.h"
#include "canvas.h"
#include "description.h"
#include "foundation/file/fileindex.h"
#include "foundation/xml/xmlnode.h"
#include "image.h"
#include "packer.h"
#include "platform/image/pngdecoder.h"
#include "pngreader.h"
#include "pngwriter.h"
#include "recipe.h"
#include "recipetext.h"
#include "seeded.h"
#include "style.h"
#include "support/tempdir.h"

namespace {

using drawkit::Image;

// The chunk types of a PNG file, in order.
std::vector<std::string> Chunks(const std::string& png) {
    std::vector<std::string> types;
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t length = (uint32_t(uint8_t(png[at])) << 24) |
                                (uint32_t(uint8_t(png[at + 1])) << 16) |
                                (uint32_t(uint8_t(png[at + 2])) << 8) | uint8_t(png[at + 3]);
        types.push_back(png.substr(at + 4, 4));
        at += 12 + length;
    }
    return types;
}

Image Sample() {
    Image image(7, 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            uint8_t* p = image.At(x, y);
            p[0] = uint8_t(x * 30);
            p[1] = uint8_t(y * 50);
            p[2] = uint8_t(200 - x * 10);
            p[3] = x < 2 ? 0 : uint8_t(40 * x + y);
        }
    }
    return image;
}

TEST(KitPng, HasNoGammaTimeOrTextChunkAndDecodesInTheGameToTheWrittenPixels) {
    const Image image = Sample();
    std::string png, error;
    ASSERT_TRUE(drawkit::EncodePng(image, drawkit::kPngZlibLevel, &png, &error)) << error;
    EXPECT_EQ(Chunks(png), (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));

    RegisterMemoryFile("kit.png", png.data(), uint32_t(png.size()));
    uint8_t* pixels = nullptr;
    int width = 0, height = 0, side = 0;
    bool alpha = false;
    ASSERT_TRUE(DecodePng("kit.png", &pixels, &width, &height, &side, &alpha, 1024));
    RegisterMemoryFile("kit.png", nullptr, 0);
    EXPECT_EQ(width, 7);
    EXPECT_EQ(height, 5);
    EXPECT_TRUE(alpha);
    Image bled = image;
    drawkit::BleedTransparent(&bled);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            const uint8_t* want = bled.At(x, y);
            const uint8_t* got = pixels + (size_t(y) * size_t(side) + size_t(x)) * 4;
            EXPECT_EQ(got[2], want[0]) << x << "," << y;
            EXPECT_EQ(got[1], want[1]) << x << "," << y;
            EXPECT_EQ(got[0], want[2]) << x << "," << y;
            EXPECT_EQ(got[3], want[3]) << x << "," << y;
        }
    }
    ReleasePngPixels(pixels);
    // The same picture always gives the same bytes.
    std::string again;
    ASSERT_TRUE(drawkit::EncodePng(image, drawkit::kPngZlibLevel, &again, &error));
    EXPECT_EQ(again, png);
}

TEST(KitPng, TheKitsReaderGivesBackTheWrittenPixelsAndRefusesWhatIsNoPng) {
    const Image image = Sample();
    std::string png, error;
    ASSERT_TRUE(drawkit::EncodePng(image, drawkit::kPngZlibLevel, &png, &error)) << error;
    Image back;
    ASSERT_TRUE(drawkit::DecodePng(png, &back, &error)) << error;
    Image bled = image;
    drawkit::BleedTransparent(&bled);
    EXPECT_TRUE(back == bled);
    EXPECT_FALSE(drawkit::DecodePng("not a png", &back, &error));
    EXPECT_FALSE(drawkit::DecodePng(png.substr(0, png.size() / 2), &back, &error));
}

TEST(KitPng, CairosPremultipliedPixelsComeBackRoundedToTheNearestStraightValue) {
    struct Case {
        uint32_t alpha, premultiplied, straight;
    } cases[] = {{255, 200, 200}, {128, 100, 199}, {1, 1, 255},
                 {3, 2, 170},     {0, 0, 0},       {64, 64, 255}};
    drawkit::Canvas canvas(int(std::size(cases)), 1);
    cairo_surface_t* surface = cairo_get_target(canvas.Cr());
    cairo_surface_flush(surface);
    auto* row = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface));
    for (size_t i = 0; i < std::size(cases); ++i)
        row[i] = (cases[i].alpha << 24) | (cases[i].premultiplied << 16) | cases[i].premultiplied;
    cairo_surface_mark_dirty(surface);
    const Image image = canvas.ToImage();
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(image.At(int(i), 0)[0], cases[i].straight) << i;
        EXPECT_EQ(image.At(int(i), 0)[1], 0) << i;
        EXPECT_EQ(image.At(int(i), 0)[2], cases[i].straight) << i;
        EXPECT_EQ(image.At(int(i), 0)[3], cases[i].alpha) << i;
    }
}

TEST(KitPng, TransparentPixelsTakeTheirNearestInkedNeighboursColour) {
    Image image(9, 3);
    auto put = [&](int x, int y, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
        uint8_t* p = image.At(x, y);
        p[0] = r;
        p[1] = g;
        p[2] = b;
        p[3] = a;
    };
    put(1, 1, 255, 0, 0, 255);  // red at the left
    put(7, 1, 0, 0, 255, 10);   // faint blue at the right still counts as ink
    drawkit::BleedTransparent(&image);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 9; ++x) {
            const uint8_t* p = image.At(x, y);
            const bool left = x < 4;
            if (x == 4) {
                // Equally far from both: raster order settles it the same way every time.
                EXPECT_TRUE((p[0] == 255 && p[2] == 0) || (p[0] == 0 && p[2] == 255));
            } else {
                EXPECT_EQ(p[0], left ? 255 : 0) << x << "," << y;
                EXPECT_EQ(p[2], left ? 0 : 255) << x << "," << y;
            }
            if (!(x == 1 && y == 1) && !(x == 7 && y == 1)) {
                EXPECT_EQ(p[3], 0);
            }
        }
    }
    // A picture with no ink stays as it is.
    Image empty(3, 3);
    drawkit::BleedTransparent(&empty);
    EXPECT_EQ(empty, Image(3, 3));
}

Image Block(int w, int h, uint8_t shade) {
    Image image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.At(x, y)[0] = shade, image.At(x, y)[3] = 255;
    return image;
}

TEST(KitPacker, SheetsAreSquarePowersOfTwoUpToTheLargestAndPicturesDoNotOverlap) {
    drawkit::Packer packer;
    std::vector<int> ids;
    for (int child = 0; child < 3; ++child) {
        packer.BeginBatch();
        for (int i = 0; i < 40; ++i)
            ids.push_back(
                packer.Add(Block(60 + (i * 7) % 90, 50 + (i * 13) % 110, uint8_t(child * 50 + i))));
    }
    // An equal picture is kept once.
    EXPECT_EQ(packer.Add(Block(60, 50, 0)), ids[0]);
    std::string error;
    ASSERT_TRUE(packer.Pack(&error)) << error;
    ASSERT_GE(packer.SheetCount(), 2);
    for (int s = 0; s < packer.SheetCount(); ++s) {
        const int side = packer.SheetSide(s);
        EXPECT_LE(side, drawkit::kLargestSheet);
        EXPECT_EQ(side & (side - 1), 0) << side;
        if (s + 1 < packer.SheetCount()) {
            EXPECT_EQ(side, drawkit::kLargestSheet);
        }
    }
    // The last sheet is the smallest square that holds its pictures.
    const int last = packer.SheetCount() - 1;
    int used = 0;
    for (int id = 0; id < packer.PictureCount(); ++id) {
        const drawkit::Placement& p = packer.Where(id);
        if (p.sheet == last)
            used =
                std::max({used, p.x + packer.Picture(id).width, p.y + packer.Picture(id).height});
    }
    EXPECT_GT(used, packer.SheetSide(last) / 2);
    // Inside their sheets, apart from one another, and in child order across sheets.
    int previous = 0;
    for (int a = 0; a < packer.PictureCount(); ++a) {
        const drawkit::Placement& pa = packer.Where(a);
        const Image& ia = packer.Picture(a);
        EXPECT_GE(pa.sheet, previous);
        previous = pa.sheet;
        EXPECT_LE(pa.x + ia.width, packer.SheetSide(pa.sheet));
        EXPECT_LE(pa.y + ia.height, packer.SheetSide(pa.sheet));
        for (int b = a + 1; b < packer.PictureCount(); ++b) {
            const drawkit::Placement& pb = packer.Where(b);
            const Image& ib = packer.Picture(b);
            if (pa.sheet != pb.sheet) continue;
            const bool apart = pa.x + ia.width <= pb.x || pb.x + ib.width <= pa.x ||
                               pa.y + ia.height <= pb.y || pb.y + ib.height <= pa.y;
            EXPECT_TRUE(apart) << a << " and " << b;
        }
    }
    // A picture larger than a sheet is refused.
    drawkit::Packer small(64);
    small.Add(Block(65, 10, 1));
    EXPECT_FALSE(small.Pack(&error));
}

TEST(KitPacker, TrimmedPicturesKeepTwoPixelsOfTransparentPaddingAroundTheirInk) {
    Image canvas(40, 30);
    for (int y = 10; y < 14; ++y)
        for (int x = 5; x < 12; ++x)
            canvas.At(x, y)[3] = 255;
    int left = 0, top = 0;
    const Image trimmed = drawkit::TrimToInk(canvas, 2, &left, &top);
    EXPECT_EQ(trimmed.width, 7 + 4);
    EXPECT_EQ(trimmed.height, 4 + 4);
    EXPECT_EQ(left, 3);
    EXPECT_EQ(top, 8);
    const drawkit::InkBox ink = drawkit::FindInk(trimmed);
    EXPECT_EQ(ink.left, 2);
    EXPECT_EQ(ink.top, 2);
    EXPECT_EQ(ink.right, trimmed.width - 2);
    EXPECT_EQ(ink.bottom, trimmed.height - 2);
    // Ink at the canvas's edge is padded past it.
    Image edge(4, 4);
    edge.At(0, 0)[3] = 255;
    const Image padded = drawkit::TrimToInk(edge, 2, &left, &top);
    EXPECT_EQ(left, -2);
    EXPECT_EQ(padded.width, 5);
}

TEST(KitRecipes, ARecipeNamingARawColourIsRefusedWithItsFileAndLine) {
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"part a layer=body joint=root\n  ellipse #ff8800 0 0 4 4\nend\n",
         "r.txt:2: a raw colour (#ff8800): recipes name palette ramps"},
        {"# a comment\n\nbox 0xff0000 0 0 1 1 1\n",
         "r.txt:3: a raw colour (0xff0000): recipes name palette ramps"},
        {"describe x tint=#123456\n",
         "r.txt:1: a raw colour (tint=#123456): recipes name palette ramps"},
    };
    for (const Case& c : cases) {
        std::vector<drawkit::Statement> statements;
        std::string error;
        EXPECT_FALSE(drawkit::ParseRecipeText("r.txt", c.text, false, &statements, &error));
        EXPECT_EQ(error, c.error);
    }
    // The style itself is where colours live.
    std::vector<drawkit::Statement> statements;
    std::string error;
    EXPECT_TRUE(drawkit::ParseRecipeText("s.txt", "ramp ink #000000 #000000 #000000\n", true,
                                         &statements, &error));
}

TEST(KitStyle, TheStyleReadsItsRampsAndTellsEachFaultByLine) {
    drawkit::Style style;
    std::string error;
    ASSERT_TRUE(style.Parse("s.txt",
                            "# the look\nramp ink #102030 #405060 #708090\noutline 2.5 ink\n"
                            "light -1 -1\nshading 3\nrim 0.25\n",
                            &error))
        << error;
    ASSERT_NE(style.Find("ink"), nullptr);
    EXPECT_NEAR(style.Find("ink")->base.g, 0x50 / 255.0, 1e-9);
    EXPECT_EQ(style.OutlineWidth(), 2.5);
    EXPECT_NEAR(style.LightX(), -std::sqrt(0.5), 1e-9);
    EXPECT_EQ(style.ShadingSteps(), 3);
    EXPECT_EQ(style.Find("grass"), nullptr);
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"ramp ink #10203 #405060 #708090\n", "s.txt:1: a ramp is: ramp NAME #light #base #shade"},
        {"ramp a #000000 #000000 #000000\nramp a #000000 #000000 #000000\n",
         "s.txt:2: a second ramp named a"},
        {"outline 0 ink\n", "s.txt:1: outline is: outline WIDTH RAMP (width above 0, at most 10)"},
        {"light 0 0\n", "s.txt:1: light is: light DX DY (a direction, not zero)"},
        {"shading 4\n", "s.txt:1: shading is: shading STEPS (1, 2 or 3)"},
        {"glow 1\n", "s.txt:1: unknown statement glow"},
        {"ramp a #000000 #000000 #000000\noutline 2 b\n",
         "s.txt: the outline names no ramp of the style"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(style.Parse("s.txt", c.text, &error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

// A small group written to a folder of its own, built with the real style.
class RecipeFaultTest : public ::testing::Test {
protected:
    bool Build(const std::string& group, std::string* error) {
        std::ofstream(mDir.File("g.txt")) << group;
        std::ofstream(mDir.File("def.xml"))
            << "<Creature><Animator Name=\"g_l1\" Speed=\"2\" MaxHeadAnimatorsNum=\"0\" "
               "MaxBodyAnimatorsNum=\"0\"/><HitRect dx=\"10\" dy=\"20\" w=\"20\" h=\"24\"/>"
               "</Creature>";
        drawkit::Style style;
        std::map<std::string, artgen::Motion> motions;
        std::map<std::string, artgen::Prop> props;
        if (!style.Load(ART_STYLE, error) ||
            !artgen::ReadMotions(std::string(ART_RECIPES) + "/motions.txt", &motions, error) ||
            !artgen::ReadProps(std::string(ART_RECIPES) + "/props.txt", &props, error))
            return false;
        artgen::Recipe recipe;
        if (!artgen::ReadRecipe(mDir.File("g.txt"), motions, &recipe, error)) return false;
        artgen::GroupArt art;
        return artgen::BuildGroup(recipe, style, props, mDir.Path(), &art, error);
    }
    std::string Where(int line) const { return mDir.File("g.txt") + ":" + std::to_string(line); }

    testing_support::TempDir mDir;
};

constexpr const char* kHead =
    "group g\nkind creature\nsheets 1\ncanvas 80 80\ndescribe g_l1 logic=def.xml\n"
    "joint root pivot=0,0\njoint head parent=root pivot=0,-10 rigid\n";

TEST_F(RecipeFaultTest, AGoodRecipeBuildsAndEachFaultIsToldByFileAndLine) {
    std::string error;
    EXPECT_TRUE(
        Build(std::string(kHead) + "part b layer=body\n  ellipse sand 0 -8 12 12\nend\n", &error))
        << error;
    struct Case {
        std::string tail;
        std::string error;
    } cases[] = {
        {"part b layer=body\n  ellipse no_such_ramp 0 -8 12 12\nend\n",
         Where(9) + ": no palette ramp named no_such_ramp"},
        {"part b layer=body joint=elbow\n  ellipse sand 0 0 1 1\nend\n",
         Where(8) + ": no joint elbow"},
        {"part b layer=body\n  ellipse sand 0 -8 12\nend\n",
         Where(9) + ": ellipse takes 4 numbers"},
        {"part b layer=body\n  circle sand 0 0 1\nend\n", Where(9) + ": unknown shape circle"},
        {"part b layer=wings\n  ellipse sand 0 0 1 1\nend\n", Where(8) + ": no layer wings"},
        {"part b layer=body\n  path sand 0 0 c 1 1\nend\n", Where(9) + ": the path ends early"},
        {"motion walk frames=two\nend\n", Where(8) + ": not a number for frames: two"},
    };
    for (const Case& c : cases) {
        error.clear();
        EXPECT_FALSE(Build(std::string(kHead) + c.tail, &error)) << c.tail;
        EXPECT_EQ(error, c.error) << c.tail;
    }
}

TEST(KitRandom, NamesSeedTheSameNumbersEveryTimeAndPlacementsKeepTheirSpacing) {
    drawkit::Seeded a("lion:mane"), b("lion:mane"), c("lion:tail");
    bool differs = false;
    for (int i = 0; i < 16; ++i) {
        const uint64_t x = a.Next();
        EXPECT_EQ(x, b.Next());
        differs = differs || x != c.Next();
    }
    EXPECT_TRUE(differs);
    drawkit::Seeded r("spots");
    const std::vector<drawkit::Point> points = drawkit::PoissonDisc(r, 100, 60, 9, 400);
    ASSERT_GT(points.size(), 20u);
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_TRUE(points[i].x >= 0 && points[i].x < 100 && points[i].y >= 0 && points[i].y < 60);
        for (size_t j = i + 1; j < points.size(); ++j)
            EXPECT_GE(std::hypot(points[i].x - points[j].x, points[i].y - points[j].y), 9.0);
    }
    // Noise: in [0, 1], the lattice's value at whole points, smooth between them.
    for (double x = 0; x < 4; x += 0.25) {
        const double v = drawkit::ValueNoise(7, x, 1.5);
        EXPECT_GE(v, 0.0);
        EXPECT_LE(v, 1.0);
        EXPECT_EQ(v, drawkit::ValueNoise(7, x, 1.5));
        EXPECT_LT(std::abs(v - drawkit::ValueNoise(7, x + 0.01, 1.5)), 0.05);
    }
}

TEST(KitRandom, TheDistanceFieldCountsPixelsToTheNearestInk) {
    Image image(5, 4);
    image.At(1, 1)[3] = 255;
    const std::vector<float> d = drawkit::DistanceField(image);
    auto at = [&](int x, int y) { return d[size_t(y) * 5 + size_t(x)]; };
    EXPECT_FLOAT_EQ(at(1, 1), 0.0f);
    EXPECT_FLOAT_EQ(at(2, 1), 1.0f);
    EXPECT_FLOAT_EQ(at(1, 3), 2.0f);
    EXPECT_FLOAT_EQ(at(2, 2), 4.0f / 3.0f);
    EXPECT_FLOAT_EQ(at(4, 1), 3.0f);
    const std::vector<float> none = drawkit::DistanceField(Image(2, 2));
    EXPECT_TRUE(std::isinf(none[0]));
}

TEST(KitDescription, AWrittenDescriptionReadsBackToTheSameObjectsFramesAndStates) {
    drawkit::Packer packer;
    packer.BeginBatch();
    const int a = packer.Add(Block(10, 12, 1));
    const int b = packer.Add(Block(8, 6, 2));
    std::string error;
    ASSERT_TRUE(packer.Pack(&error));
    drawkit::Description d;
    d.id = "thing_l2";
    d.scaling = 1.04;
    drawkit::ChildDesc body;
    body.id = "body";
    body.hitTest = "alpha";
    body.frames = {{a, 5, 11}, {b, -3, 20}};
    drawkit::StateDesc walk("walk_NE", {0, 1, 1, 0}, 70);
    walk.effects.push_back({"DeltaMoveInterpolator", 480, "0 0 0 -3"});
    drawkit::StateDesc mirrored("walk_NW", {0, 1, 1, 0}, 70);
    mirrored.flipH = true;
    body.states = {{"normal", {0}, 1000},
                   walk,
                   mirrored,
                   {"turn", {0, 1}, 350, "normal"},
                   {"hidden", {0}, 1000, "", true}};
    d.children.push_back(body);
    drawkit::ChildDesc shadow;
    shadow.id = "shadow";
    shadow.frames = {{b, 4, 3}};
    shadow.states = {{"normal", {0}, 1000}};
    d.children.push_back(shadow);

    const std::string text = drawkit::WriteDescription(d, packer, "thing/sheet");
    TXmlNode document;
    document.ParseString(text.c_str());
    ASSERT_EQ(document.GetChildren().size(), 1u);
    TXmlNode* main = document.GetChildren().front();
    EXPECT_EQ(std::string(main->GetName().c_str()), "main");
    EXPECT_EQ(std::string(main->GetAttribute("id").c_str()), "thing_l2");
    EXPECT_EQ(std::string(main->GetAttribute("scaling").c_str()), "1.04");
    TXmlNode* objects = main->FindChild("objects");
    ASSERT_NE(objects, nullptr);
    ASSERT_EQ(objects->GetChildren().size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const drawkit::ChildDesc& want = d.children[i];
        TXmlNode* obj = objects->GetChildren()[i];
        EXPECT_EQ(std::string(obj->GetName().c_str()), "obj");
        EXPECT_EQ(std::string(obj->GetAttribute("id").c_str()), want.id);
        EXPECT_EQ(std::string(obj->GetAttribute("hit_test").c_str()), want.hitTest);
        TXmlNode* images = obj->FindChild("images");
        ASSERT_NE(images, nullptr);
        ASSERT_EQ(images->GetChildren().size(), 1u);
        EXPECT_EQ(std::string(images->GetChildren()[0]->GetAttribute("name").c_str()),
                  "thing/sheet0.png");
        TXmlNode* framelist = obj->FindChild("framelist");
        ASSERT_NE(framelist, nullptr);
        EXPECT_EQ(std::string(framelist->GetAttribute("centering").c_str()), "left");
        ASSERT_EQ(framelist->GetChildren().size(), want.frames.size());
        for (size_t f = 0; f < want.frames.size(); ++f) {
            TXmlNode* frame = framelist->GetChildren()[f];
            const drawkit::Placement& at = packer.Where(want.frames[f].picture);
            const Image& picture = packer.Picture(want.frames[f].picture);
            EXPECT_EQ(std::atoi(frame->GetAttribute("x").c_str()), at.x);
            EXPECT_EQ(std::atoi(frame->GetAttribute("y").c_str()), at.y);
            EXPECT_EQ(std::atoi(frame->GetAttribute("w").c_str()), picture.width);
            EXPECT_EQ(std::atoi(frame->GetAttribute("h").c_str()), picture.height);
            EXPECT_EQ(std::atoi(frame->GetAttribute("img").c_str()), 0);
            EXPECT_EQ(std::atoi(frame->GetAttribute("regx").c_str()), want.frames[f].regX);
            EXPECT_EQ(std::atoi(frame->GetAttribute("regy").c_str()), want.frames[f].regY);
        }
        TXmlNode* states = obj->FindChild("states");
        ASSERT_NE(states, nullptr);
        ASSERT_EQ(states->GetChildren().size(), want.states.size());
        for (size_t s = 0; s < want.states.size(); ++s) {
            TXmlNode* state = states->GetChildren()[s];
            const drawkit::StateDesc& ws = want.states[s];
            EXPECT_EQ(std::string(state->GetAttribute("id").c_str()), ws.id);
            EXPECT_EQ(std::string(state->GetAttribute("framelist").c_str()),
                      drawkit::FormatFrames(ws.frames));
            EXPECT_EQ(std::atoi(state->GetAttribute("defdelay").c_str()), ws.delay);
            EXPECT_EQ(std::string(state->GetAttribute("nextstate").c_str()), ws.next);
            EXPECT_EQ(std::string(state->GetAttribute("visible").c_str()), ws.hidden ? "0" : "");
            EXPECT_EQ(std::string(state->GetAttribute("flip").c_str()), ws.flipH ? "H" : "");
            ASSERT_EQ(state->GetChildren().size(), ws.effects.size());
            for (size_t e = 0; e < ws.effects.size(); ++e) {
                TXmlNode* effect = state->GetChildren()[e];
                EXPECT_EQ(std::string(effect->GetName().c_str()), ws.effects[e].type);
                EXPECT_EQ(std::atoi(effect->GetAttribute("time").c_str()), ws.effects[e].time);
                EXPECT_EQ(std::string(effect->GetAttribute("keys").c_str()), ws.effects[e].keys);
            }
        }
    }
    EXPECT_EQ(drawkit::FormatFrames({0, 1, 2, 3, 5, 7, 8}), "0..3,5,7,8");
}

}  // namespace
