// The skinned control set's shared parts in one include: the skin sets and their change links, the skin
// picture and surface, the mark of the skinned controls, the form hook and the drawing routines.
#pragma once

#include "skin/CoolControl.h"
#include "skin/CoolFormHook.h"
#include "skin/CoolImages.h"
#include "skin/CoolUtils.h"
#include "skin/SkinPicture.h"
#include "skin/SkinSurface.h"
