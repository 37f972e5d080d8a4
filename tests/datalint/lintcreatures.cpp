// Checks 4 to 10 on the 24 creature forms and the monster: names that resolve, forms and levels,
// evolution steps and chains, task tables, needs, looks.
#include <algorithm>
#include <map>
#include <set>

#include "lintcontext.h"
#include "simulation/taskkind.h"

namespace datalint {

namespace {

// The trade each animal grows in (its level-up steps).
const std::map<std::string, std::set<std::string>>& Trades() {
    static const std::map<std::string, std::set<std::string>> trades = {
        {"Lion", {"defend", "training"}}, {"Giraffe", {"forage"}}, {"Zebra", {"doctor"}},
        {"Elephant", {"gatherwater"}},    {"Gorilla", {"build"}},
    };
    return trades;
}

// The preferred-task buttons the character window shows by species.
const std::map<std::string, std::vector<const char*>>& ButtonTasks() {
    static const std::map<std::string, std::vector<const char*>> buttons = {
        {"Puff", {"breed", "forage", "gatherwater", "defend", "build", "doctor"}},
        {"Gorilla", {"forage", "gatherwater", "defend", "build"}},
        {"Elephant", {"forage", "gatherwater", "build", "doctor"}},
        {"Giraffe", {"forage", "defend", "build", "doctor"}},
        {"Lion", {"forage", "gatherwater", "defend", "doctor"}},
        {"Zebra", {"gatherwater", "defend", "build", "doctor"}},
    };
    return buttons;
}

// The Weight-0 tasks every creature carries so that no task of these kinds lasts 0 ticks.
const int kFallbackKinds[] = {kTaskBeIll,      kTaskFailure2, kTaskDrop, kTaskCelebrateVictory,
                              kTaskWaitForArk, kTaskUnload};
// Kinds that never belong in a creature's table (no name, or only the world starts them).
const int kForbiddenKinds[] = {19, 20, 21, 29, 35, 36};

int FormIndex(const std::string& fullName, const std::string& animal) {
    for (size_t i = 0; i < Forms().size(); ++i) {
        if (fullName == Forms()[i] + animal) return static_cast<int>(i);
    }
    return -1;
}

void CheckNames(Context& c, const DefinitionFile& d) {
    if (const TXmlNode* evolution = Child(d.root, "Evolution")) {
        for (const TXmlNode* step : evolution->GetChildren()) {
            if (std::string(step->GetName().c_str()) != "Evolve") {
                c.Report(d.file, step->GetName().c_str(), "4", "Evolution holds only Evolve");
            } else if (c.names.GetTaskKind(Attr(step, "Action").c_str()) == 0) {
                c.Report(d.file, "Evolve " + Attr(step, "Action"), "4", "no such task");
            }
        }
    }
    if (const TXmlNode* ai = Child(d.root, "AI")) {
        for (const TXmlNode* task : ai->GetChildren()) {
            if (std::string(task->GetName().c_str()) != "Task") {
                c.Report(d.file, task->GetName().c_str(), "4", "AI holds only Task");
            } else if (c.names.GetTaskKind(Attr(task, "Action").c_str()) == 0) {
                c.Report(d.file, "Task " + Attr(task, "Action"), "4", "no such task");
            }
        }
    }
    if (const TXmlNode* consumption = Child(d.root, "Consumption")) {
        for (const TXmlNode* need : consumption->GetChildren()) {
            if (c.names.GetResourceKind(need->GetName()) == 0) {
                c.Report(d.file, need->GetName().c_str(), "4", "no such resource");
            }
        }
    }
}

// Check 6: every step leads to a form that exists, and only where the rules expect it. Guards
// the experience rule's evolution and re-evolution, the devolve task and the evolution totals.
void CheckEvolution(Context& c, const DefinitionFile& d, const GCreatureData& creature) {
    const std::string animal = creature.name.c_str();
    const int form = FormIndex(creature.fullName.c_str(), animal);
    int devolves = 0;
    std::set<std::string> puffTargets;
    for (const GEvolutionData& step : creature.evolutionDatas) {
        const std::string task = c.names.GetTaskName(step.taskId).c_str();
        const std::string next = step.nextFullName.c_str();
        const std::string element = "Evolve " + task;
        if (c.names.FindCreatureDefinition(step.nextFullName) == nullptr) {
            c.Report(d.file, element, "6", "Next \"" + next + "\" names no creature form");
            continue;
        }
        for (int t : step.time) {
            if (t <= 0) c.Report(d.file, element, "6", "a Time is not positive");
        }
        if (form < 0) continue;
        if (animal == "Puff") {
            if (task == "devolve") c.Report(d.file, element, "6", "a Puff has no devolve step");
            puffTargets.insert(next);
            continue;
        }
        if (task == "devolve") {
            ++devolves;
            if (next != Forms()[form] + "Puff") {
                c.Report(d.file, element, "6", "devolve leads to the Puff of the same form");
            }
            continue;
        }
        const auto trade = Trades().find(animal);
        const bool ownTrade = trade != Trades().end() && trade->second.count(task) != 0;
        if (!ownTrade || form == 3 || next != Forms()[form + 1] + animal) {
            c.Report(d.file, element, "6",
                     "an animal's step is its own trade to its next form (none for a Guru)");
        }
    }
    if (animal == "Puff" && form >= 0) {
        for (const std::string& other : Animals()) {
            if (other != "Puff" && puffTargets.count(Forms()[form] + other) == 0) {
                c.Report(d.file, "Evolution", "6", "no step to " + Forms()[form] + other);
            }
        }
    } else if (form >= 0 && devolves != 1) {
        c.Report(d.file, "Evolution", "6", "an animal has exactly one devolve step");
    }
}

// Check 8: the task table. Guards the weighted task choice, the task starters' durations and
// the character window's preferred tasks.
void CheckTasks(Context& c, const DefinitionFile& d, const GCreatureData& creature) {
    const std::string animal = creature.name.c_str();
    std::map<int, int> seen;
    if (const TXmlNode* ai = Child(d.root, "AI")) {
        for (const TXmlNode* task : ai->GetChildren()) {
            const int kind = c.names.GetTaskKind(Attr(task, "Action").c_str());
            if (kind != 0 && ++seen[kind] == 2) {
                c.Report(d.file, "Task " + Attr(task, "Action"), "8", "the task is listed twice");
            }
        }
    }
    const auto& coefs = creature.aiCoefs;
    const auto flakeout = coefs.find(kTaskFlakeOut);
    if (flakeout == coefs.end() || flakeout->second.weight <= 0) {
        c.Report(d.file, "Task flakeout", "8", "flakeout with a positive Weight is required");
    }
    for (int kind : kFallbackKinds) {
        const auto task = coefs.find(kind);
        if (task == coefs.end() || task->second.weight != 0) {
            c.Report(d.file, "Task " + std::string(c.names.GetTaskName(kind).c_str()), "8",
                     "the fallback task is required with Weight 0");
        }
    }
    for (int kind : kForbiddenKinds) {
        if (coefs.count(kind) != 0) {
            c.Report(d.file, "AI", "8", "task kind " + std::to_string(kind) + " is not chosen");
        }
    }
    for (const auto& [kind, coef] : coefs) {
        if (coef.production < 0) {
            c.Report(d.file, "Task " + std::string(c.names.GetTaskName(kind).c_str()), "8",
                     "Production is negative");
        }
    }
    const auto buttons = ButtonTasks().find(animal);
    if (buttons != ButtonTasks().end()) {
        for (const char* task : buttons->second) {
            if (coefs.count(c.names.GetTaskKind(task)) == 0) {
                c.Report(d.file, std::string("Task ") + task, "8",
                         "the character window offers this task to the species");
            }
        }
    }
    const std::pair<int, std::set<std::string>> limited[] = {
        {kTaskBreed, {"Puff"}},
        {kTaskTraining, {"Lion", "Zebra"}},
        {kTaskResearch, {"Puff", "Zebra"}},
    };
    for (const auto& [kind, who] : limited) {
        if (coefs.count(kind) != 0 && who.count(animal) == 0) {
            c.Report(d.file, "Task " + std::string(c.names.GetTaskName(kind).c_str()), "8",
                     "not a task of this species");
        }
    }
}

// Check 9: needs, looks and points of interest. Guards the feeding cycle, eating and drinking,
// hit testing and the idle walks to points of interest.
void CheckBody(Context& c, const DefinitionFile& d, const GCreatureData& creature) {
    for (int type : {1, 2}) {
        const auto need = creature.consumptions.find(type);
        if (need == creature.consumptions.end() || need->second.maxLevel <= 0 ||
            need->second.portion <= 0) {
            c.Report(d.file, type == 1 ? "Food" : "Water", "9",
                     "every creature needs Food and Water with Max and Portion above 0");
        }
    }
    if (creature.hitRect.w <= 0 || creature.hitRect.h <= 0) {
        c.Report(d.file, "HitRect", "9", "w and h must be positive");
    }
    if (creature.startHealth <= 0) c.Report(d.file, "Health", "9", "StartHealth must be positive");
    if (const TXmlNode* poi = Child(d.root, "POI")) {
        for (const TXmlNode* point : poi->GetChildren()) {
            if (c.params.pointsOfInterest.count(point->GetAttribute("ID")) == 0) {
                c.Report(d.file, "P " + Attr(point, "ID"), "9",
                         "no point of interest of this ID in main.xml");
            }
        }
    }
    // The speed and illness formulas divide by 100 − MinAge (check 19).
    if (creature.minAge >= 100) c.Report(d.file, "Animator", "19", "MinAge must stay below 100");
    if (creature.diseaseMinAge >= 100) {
        c.Report(d.file, "Health", "19", "MinAge must stay below 100");
    }
}

}  // namespace

void CheckCreatures(Context& c) {
    for (const DefinitionFile& d : c.definitions) {
        if (d.kind != DefinitionKind::kCreature || d.root == nullptr) continue;
        CheckNames(c, d);
        const auto* creature = static_cast<const GCreatureData*>(d.prototype);
        if (creature == nullptr) continue;
        // Check 5: species, form and level agree.
        const std::string animal = creature->name.c_str();
        const int form = FormIndex(creature->fullName.c_str(), animal);
        if (!IsAnimal(animal) || form < 0) {
            c.Report(d.file, "Creature", "5", "FullName is a form word and one of six animals");
        } else if (creature->level != form + 1) {
            c.Report(d.file, "Creature", "5", "Level must be " + std::to_string(form + 1));
        }
        CheckEvolution(c, d, *creature);
        CheckTasks(c, d, *creature);
        CheckBody(c, d, *creature);
    }
    // Check 7: the walk from "BasicPuff" ends for every kind and reaches a total. Guards the
    // evolution totals and the character window's level bar.
    const GCreatureData* start = c.names.FindCreatureDefinition("BasicPuff");
    if (start == nullptr) return;
    const std::string file = std::string(kLogicFolder) + "puff_basic.xml";
    for (int kind :
         {kTaskForage, kTaskGatherWater, kTaskBuild, kTaskDoctor, kTaskDefend, kTaskTraining}) {
        const std::string task = c.names.GetTaskName(kind).c_str();
        std::set<std::string> visited;
        const GCreatureData* at = start;
        while (at != nullptr) {
            if (!visited.insert(at->fullName.c_str()).second) {
                c.Report(file, "Evolve " + task, "7",
                         "the chain returns to " + std::string(at->fullName.c_str()));
                break;
            }
            const GEvolutionData* step = nullptr;
            for (const GEvolutionData& s : at->evolutionDatas) {
                if (s.taskId == kind) step = &s;
            }
            if (step == nullptr) break;
            at = c.names.FindCreatureDefinition(step->nextFullName);
        }
        if (c.names.GetEvolutionTotal(kind) <= 0) {
            c.Report(file, "Evolve " + task, "7", "the evolution total is 0");
        }
    }
}

// Check 10: the hyena. Guards the monster's aim draw and its task durations.
void CheckMonster(Context& c) {
    for (const DefinitionFile& d : c.definitions) {
        if (d.kind != DefinitionKind::kMonster || d.root == nullptr) continue;
        if (Attr(d.root, "Name") != "Hyena") c.Report(d.file, "Monster", "10", "Name is Hyena");
        if (const TXmlNode* ai = Child(d.root, "AI")) {
            for (const TXmlNode* task : ai->GetChildren()) {
                if (!Given(task, "Production")) {
                    c.Report(d.file, "Task " + Attr(task, "Action"), "10",
                             "a monster task needs Production");
                }
            }
        }
        const auto* monster = static_cast<const GMonsterData*>(d.prototype);
        if (monster == nullptr) continue;
        std::set<int> kinds;
        int weight = 0;
        for (const auto& [kind, coef] : monster->aiCoefs) {
            kinds.insert(kind);
            weight += coef.weight;
        }
        if (kinds !=
            std::set<int>{kTaskForage, kTaskGatherWater, kTaskBuild, kTaskDefend, kTaskFlakeOut}) {
            c.Report(d.file, "AI", "10",
                     "the hyena's tasks are forage, gatherwater, build, defend and flakeout");
        }
        if (weight <= 0) c.Report(d.file, "AI", "10", "the total weight must be positive");
        if (monster->startHealth <= 0) {
            c.Report(d.file, "Health", "10", "StartHealth must be positive");
        }
    }
}

}  // namespace datalint
