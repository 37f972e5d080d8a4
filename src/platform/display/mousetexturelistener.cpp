#include "platform/display/mousetexturelistener.h"

#include "platform/display/dxcontext.h"

MouseTextureListener::~MouseTextureListener() {
    if (mContext != nullptr) mContext->ForgetListener(this);
}

bool MouseTextureListener::Execute() {
    if (mContext == nullptr) return false;
    mContext->RestoreMouseImage();
    return true;
}
