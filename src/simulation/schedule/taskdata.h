// GTaskData: the two parties of a task that its listeners are told about: the subject, who does
// the work, and the object, what the work is done on (often none). Either may be none in a task
// read from a saved world.
#pragma once

class GObject;

struct GTaskData {
    GObject* subject = nullptr;
    GObject* object = nullptr;
};
