// The item and resource kinds, the numbers the creatures' rules compute with (the names
// registry gives their names). Items 7 and 8, the food and water a creature carries, have no
// name.
#pragma once

enum GItemKind {
    kItemNone = 0,
    kItemStick = 1,
    kItemShovel = 2,
    kItemHammer = 3,
    kItemTomahawk = 4,
    kItemFertilizer = 5,
    kItemNail = 6,
    kItemFood = 7,
    kItemWater = 8,
    kItemStone = 9,
    kItemStone2 = 10,
    kItemWood = 11,
};

// Resource records and what creatures carry and consume: 1 food, 2 water, 3 the building work
// left, 4 devolution, 5 an item to make.
enum GResourceKind {
    kResourceFood = 1,
    kResourceWater = 2,
    kResourceBuild = 3,
    kResourceDevolution = 4,
    kResourceItem = 5,
};
