#include "support/worldcast.h"

#include <algorithm>
#include <set>

#include "foundation/xml/xmlnode.h"
#include "simulation/data/creaturedata.h"
#include "simulation/data/locationdata.h"
#include "simulation/data/monsterdata.h"
#include "simulation/definitions/definitionfiles.h"
#include "simulation/nameregistry.h"
#include "simulation/params/gameparams.h"
#include "simulation/params/globaldata.h"
#include "simulation/views/worldcreature.h"
#include "simulation/views/worldlocation.h"
#include "simulation/views/worldmanager.h"

namespace testing_support {
namespace {

const char* const kLogic = "xml/logic/";

TXmlNode* FirstElement(TXmlNode& document) {
    return document.GetChildren().empty() ? nullptr : document.GetChildren().front();
}

int IntAttribute(const TXmlNode* node, const char* name) {
    return node->GetAttribute(name).ToInt();
}

}  // namespace

WorldCast::WorldCast()
    : mParams(std::make_unique<GlobalData>()), mNames(std::make_unique<GNameRegistry>()) {
    TXmlNode main, nicknames;
    const str logic(kLogic);
    main.LoadFile(logic + "main.xml");
    nicknames.LoadFile(logic + "names.xml");
    TXmlNode* root = FirstElement(main);
    if (root == nullptr) return;
    GameParams::Load(*mParams, root, FirstElement(nicknames), *mNames);
    mNames->SetGameParams(mParams.get());

    // File by file, in the loader's order, so that the figures keep it.
    std::vector<const GObjectData*> loaded;
    for (size_t i = 0; i < kDefinitionFileCount; ++i)
        loaded.push_back(
            mNames->LoadDefinitionFile(logic + str(kDefinitionFiles[i]) + str(".xml")).stored);
    mNames->ComputeEvolutionTimes();

    std::set<std::string> places;
    float moverSpeed = 1.0f;
    for (const GObjectData* block : loaded) {
        if (const auto* creature = dynamic_cast<const GCreatureData*>(block)) {
            CastFigure figure;
            figure.name = creature->baseAnimatorName.c_str();
            figure.species = creature->name.c_str();
            figure.level = creature->level;
            figure.bodies = std::max<int>(1, creature->maxAnimatorsBodies);
            figure.heads = std::max<int>(1, creature->maxAnimatorsHeads);
            figure.speed = creature->speed;
            figure.animation = creature->animSpeedKoef;
            figure.hitX = creature->hitRect.dx;
            figure.hitY = creature->hitRect.dy;
            figure.hitWidth = creature->hitRect.w;
            figure.hitHeight = creature->hitRect.h;
            // The movers walk at the speed of the creature that asks for them, a Puff.
            if (creature->fullName == "BasicPuff") moverSpeed = creature->speed;
            mFigures.push_back(figure);
        } else if (const auto* location = dynamic_cast<const GLocationData*>(block)) {
            places.insert(location->animatorName.c_str());
        }
    }
    // The monster's look is chosen by the world's level: "hyena_l<level + 1>".
    const GMonsterData* hyena = nullptr;
    mNames->ForEachDefinition([&](const GObjectData& block) {
        if (hyena == nullptr) hyena = dynamic_cast<const GMonsterData*>(&block);
    });
    for (int level = 1; level <= GlobalData::kLevelCount; ++level) {
        CastFigure figure;
        figure.name = "hyena_l" + std::to_string(level);
        figure.kind = CastKind::kMonster;
        figure.species = "Hyena";
        figure.level = level;
        if (hyena != nullptr) {
            figure.speed = hyena->speed;
            figure.animation = hyena->animSpeedKoef;
        }
        mFigures.push_back(figure);
    }
    CastFigure grave;
    grave.name = "skeleton";
    grave.kind = CastKind::kGrave;
    grave.species = "Grave";
    mFigures.push_back(grave);
    for (int part = 1; part <= GlobalData::kArkPartCount; ++part) {
        CastFigure mover;
        mover.name = "ark_part_mover_" + std::to_string(part);
        mover.kind = CastKind::kMover;
        mover.species = "Mover";
        mover.level = part;
        mover.speed = moverSpeed;
        mFigures.push_back(mover);
    }
    mPlaceAnimators.assign(places.begin(), places.end());

    const TXmlNode* world = root->FindChild("World");
    const TXmlNode* layout = world != nullptr ? world->FindChild("Locations") : nullptr;
    if (layout != nullptr) {
        for (const TXmlNode* element : layout->GetChildren()) {
            CastPlace place;
            place.fullName = element->GetAttribute("Name").c_str();
            place.x = IntAttribute(element, "PosX");
            place.y = IntAttribute(element, "PosY");
            const GLocationData* data = mNames->FindLocationDefinition(place.fullName.c_str());
            if (data == nullptr) continue;
            place.animator = data->animatorName.c_str();
            if (!data->resources.empty()) {
                place.quantity = float(data->resources.back().quantity);
                place.maximum = float(data->resources.back().maxQuantity);
            }
            mStartLayout.push_back(place);
        }
    }
    mLoaded = true;
}

WorldCast::~WorldCast() = default;

const CastFigure* WorldCast::FindFigure(const std::string& name) const {
    for (const CastFigure& figure : mFigures)
        if (figure.name == name) return &figure;
    return nullptr;
}

std::vector<std::string> WorldCast::AllDescriptions() const {
    std::vector<std::string> names;
    for (const CastFigure& figure : mFigures)
        names.push_back(figure.name);
    names.insert(names.end(), mPlaceAnimators.begin(), mPlaceAnimators.end());
    names.push_back(kLevelName);
    return names;
}

GVWorldCreature* MakeFigureView(GVWorldManager& manager, const CastFigure& figure, float x, float y,
                                int body, int head) {
    const int kind = figure.kind == CastKind::kMover ? int(CastKind::kCreature) : int(figure.kind);
    GVWorldObject* view = manager.CreateVisual(figure.name.c_str(), kind);
    if (view == nullptr || !view->IsKindOf(GVViewClass::kCreature)) return nullptr;
    auto* creature = static_cast<GVWorldCreature*>(view);
    GVViewConfig config;
    config.speed = figure.speed;
    config.idleBase = kIdleBase;
    config.idleRange = kIdleRange;
    config.hitRect = {figure.hitX, figure.hitY, figure.hitWidth, figure.hitHeight};
    creature->Configure(&config);
    creature->SetOwnSpeedFactor(figure.animation);
    creature->ShowBody(body);
    creature->ShowHead(head);
    creature->ShowCarriedItem(0, false);
    if (figure.kind == CastKind::kMover) creature->SetTag("ArkMover");
    if (figure.kind == CastKind::kGrave) creature->SetTag("Grave");
    creature->SetPosition(x, y);
    return creature;
}

GVWorldLocation* MakePlaceView(GVWorldManager& manager, const CastPlace& place) {
    GVWorldObject* view = manager.CreateVisual(place.animator.c_str(), int(CastKind::kPlace));
    if (view == nullptr || !view->IsKindOf(GVViewClass::kLocation)) return nullptr;
    auto* location = static_cast<GVWorldLocation*>(view);
    location->SetPosition(float(place.x), float(place.y));
    location->SetLevel(0.0f);
    location->ShowStock(place.quantity, place.maximum);
    return location;
}

}  // namespace testing_support
