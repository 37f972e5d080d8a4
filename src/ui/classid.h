// Class identity in the window system (windows and messages). A class's id is the address of a
// function of no arguments. For a window class that scripts may create, it is the class's creator,
// which makes an instance with default arguments and answers it as a TWindow* converted to
// void*; for any other class it is a function that answers its own address, so that calling an id
// tells the two kinds apart (TWindow::CallCreator). Ids are only compared and called.
#pragma once

using TClassId = void* (*)();

// The id of a class that cannot be created: a function that answers its own address.
template <class T>
void* SelfClassId() {
    return reinterpret_cast<void*>(&SelfClassId<T>);
}
