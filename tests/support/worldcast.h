// The world's cast as the program and its data name it, for the art's tests, its viewer and its
// benchmarks: every sprite description they ask for (the creature and location animators of the
// definitions, read through the game's own loaders; the hyenas, one per level the world counts;
// the grave; one ark-part mover per ark place; the level picture), what the world gives each
// figure's view when it makes it (speed, animation factor, hit rectangle, idle timing, variants,
// tag), and the places of the start layout with their start stock.
//
// The logic files are read through the file layer ("xml/logic/" below the indexed asset folder),
// so a copy of the game's folder is read as the game folder itself. Main thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

class GNameRegistry;
class GVWorldCreature;
class GVWorldManager;
class GVWorldLocation;
class GlobalData;

namespace testing_support {

// The view kinds of GVWorldManager::CreateVisual, and the kinds only the art knows.
enum class CastKind { kCreature = 1, kPlace = 2, kMonster = 3, kGrave = 4, kMover = 5, kLevel = 6 };

struct CastFigure {
    std::string name;  // the sprite description
    CastKind kind = CastKind::kCreature;
    std::string species;  // "Puff" ... for creatures, "Hyena", "Grave", "Mover"
    int level = 1;        // 1 to 4 for creatures, 1 to 5 for hyenas, the ark place for movers
    int bodies = 1;       // body and head variants the sprite has
    int heads = 1;
    float speed = 1.0f;      // pixels per view update
    float animation = 1.0f;  // the view's own animation factor
    int hitX = 0, hitY = 0;  // the hit rectangle: anchor offsets, width and height
    int hitWidth = 0, hitHeight = 0;
};

struct CastPlace {
    std::string fullName;
    std::string animator;
    int x = 0, y = 0;
    // The stock the view shows at the start: the last resource record's quantity and maximum,
    // as the location passes its records to its view in order.
    float quantity = 0.0f;
    float maximum = 0.0f;
};

class WorldCast {
public:
    // Reads the tuning file and the definition files; Loaded() says whether they were there.
    WorldCast();
    ~WorldCast();
    WorldCast(const WorldCast&) = delete;
    WorldCast& operator=(const WorldCast&) = delete;

    bool Loaded() const { return mLoaded; }
    // Creatures in the order of the definition files, then the hyenas, the grave, the movers.
    const std::vector<CastFigure>& Figures() const { return mFigures; }
    const CastFigure* FindFigure(const std::string& name) const;
    // Every location animator of the definitions, sorted, each once.
    const std::vector<std::string>& PlaceAnimators() const { return mPlaceAnimators; }
    // The start layout of "xml/logic/main.xml", in file order.
    const std::vector<CastPlace>& StartLayout() const { return mStartLayout; }
    // Every description the program and the data ask for: figures, places and "level1".
    std::vector<std::string> AllDescriptions() const;
    const GNameRegistry& Names() const { return *mNames; }
    const GlobalData& Params() const { return *mParams; }

private:
    std::unique_ptr<GlobalData> mParams;
    std::unique_ptr<GNameRegistry> mNames;
    bool mLoaded = false;
    std::vector<CastFigure> mFigures;
    std::vector<std::string> mPlaceAnimators;
    std::vector<CastPlace> mStartLayout;
};

// The description of the level picture and its cells.
inline constexpr char kLevelName[] = "level1";
// The idle timing the world gives every figure.
inline constexpr unsigned kIdleBase = 75;
inline constexpr unsigned kIdleRange = 25;

// A figure's view made as the world makes it (CreateVisual with its kind, a mover as a creature
// view), configured with the figure's speed, idle timing and hit rectangle, its animation factor,
// the given body and head variants, no carried item and the tag of movers and graves; placed at
// (x, y). Null when the description cannot be made.
GVWorldCreature* MakeFigureView(GVWorldManager& manager, const CastFigure& figure, float x, float y,
                                int body = 0, int head = 0);
// A place's view at its start position, level 0 and its start stock. Null when it cannot be made.
GVWorldLocation* MakePlaceView(GVWorldManager& manager, const CastPlace& place);

}  // namespace testing_support
