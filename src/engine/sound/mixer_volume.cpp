// The synthesizer line's volume, kept as found at start and put back at the
// end, through the first audio mixer.
#include "sound/mixer_volume.h"

#include <windows.h>

#include <mmsystem.h>

#include <memory>
#include <new>

uint32_t SavedSynthVolume = 0x77777777;

namespace {

enum class LineWork { Save, Restore };

HMIXEROBJ AsObject(HMIXER mixer) { return reinterpret_cast<HMIXEROBJ>(mixer); }

// Finds the first source line of the synthesizer type. When the mixer has
// none, no line is worked on: the volume of some other line is neither
// kept nor overwritten.
bool FindSynthLine(HMIXER mixer, DWORD destinations, DWORD& lineId) {
  for (DWORD destination = 0; destination < destinations; ++destination) {
    MIXERLINE line{};
    line.cbStruct = sizeof(line);
    line.dwDestination = destination;
    if (mixerGetLineInfo(AsObject(mixer), &line, MIXER_GETLINEINFOF_DESTINATION) != MMSYSERR_NOERROR) continue;
    DWORD connections = line.cConnections;
    for (DWORD source = 0; source < connections; ++source) {
      MIXERLINE sourceLine{};
      sourceLine.cbStruct = sizeof(sourceLine);
      sourceLine.dwDestination = destination;
      sourceLine.dwSource = source;
      if (mixerGetLineInfo(AsObject(mixer), &sourceLine, MIXER_GETLINEINFOF_SOURCE) == MMSYSERR_NOERROR &&
          sourceLine.dwComponentType == MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER) {
        lineId = sourceLine.dwLineID;
        return true;
      }
    }
  }
  return false;
}

// Reads one volume control and keeps it, or writes the kept volume into it.
// False ends the walk over the line's controls.
bool WorkOnVolumeControl(HMIXER mixer, const MIXERLINE& line, const MIXERCONTROL& control, LineWork work) {
  if (control.fdwControl & MIXERCONTROL_CONTROLF_DISABLED) return false;
  DWORD channels = (control.fdwControl & MIXERCONTROL_CONTROLF_UNIFORM) ? 1 : line.cChannels;
  DWORD items = (control.fdwControl & MIXERCONTROL_CONTROLF_MULTIPLE) ? control.cMultipleItems : 1;
  size_t count = size_t{channels} * items;
  if (count == 0) return false;
  std::unique_ptr<MIXERCONTROLDETAILS_UNSIGNED[]> values(new (std::nothrow) MIXERCONTROLDETAILS_UNSIGNED[count]());
  if (!values) return false;
  MIXERCONTROLDETAILS details{};
  details.cbStruct = sizeof(details);
  details.dwControlID = control.dwControlID;
  details.cChannels = channels;
  details.cMultipleItems = control.cMultipleItems;
  details.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
  details.paDetails = values.get();
  if (mixerGetControlDetails(AsObject(mixer), &details, MIXER_GETCONTROLDETAILSF_VALUE) != MMSYSERR_NOERROR) {
    return false;
  }
  if (work == LineWork::Save) {
    // Both halves take the first channel's volume.
    DWORD first = values[0].dwValue;
    SavedSynthVolume = first | (first << 16);
  } else {
    values[0].dwValue = SavedSynthVolume & 0xFFFF;
    if (count >= 2) values[1].dwValue = SavedSynthVolume >> 16;
  }
  return mixerSetControlDetails(AsObject(mixer), &details, MIXER_SETCONTROLDETAILSF_VALUE) == MMSYSERR_NOERROR;
}

// Every volume control of the line, in order; when saving, the last one
// read decides the kept value.
void WorkOnLine(HMIXER mixer, DWORD lineId, LineWork work) {
  MIXERLINE line{};
  line.cbStruct = sizeof(line);
  line.dwLineID = lineId;
  if (mixerGetLineInfo(AsObject(mixer), &line, MIXER_GETLINEINFOF_LINEID) != MMSYSERR_NOERROR || line.cControls == 0) {
    return;
  }
  std::unique_ptr<MIXERCONTROL[]> controls(new (std::nothrow) MIXERCONTROL[line.cControls]());
  if (!controls) return;
  MIXERLINECONTROLS request{};
  request.cbStruct = sizeof(request);
  request.dwLineID = lineId;
  request.cControls = line.cControls;
  request.cbmxctrl = sizeof(MIXERCONTROL);
  request.pamxctrl = controls.get();
  if (mixerGetLineControls(AsObject(mixer), &request, MIXER_GETLINECONTROLSF_ALL) != MMSYSERR_NOERROR) return;
  for (DWORD i = 0; i < line.cControls; ++i) {
    if (controls[i].dwControlType != MIXERCONTROL_CONTROLTYPE_VOLUME) continue;
    if (!WorkOnVolumeControl(mixer, line, controls[i], work)) break;
  }
}

void WorkOnSynthLine(LineWork work) {
  if (mixerGetNumDevs() == 0) return;
  MIXERCAPS caps{};
  mixerGetDevCaps(0, &caps, sizeof(caps));
  HMIXER mixer = nullptr;
  if (mixerOpen(&mixer, 0, 0, 0, 0) != MMSYSERR_NOERROR) return;
  UINT mixerId = 0;
  DWORD lineId = 0;
  if (mixerGetID(AsObject(mixer), &mixerId, MIXER_OBJECTF_HMIXER) == MMSYSERR_NOERROR && mixerId == 0 &&
      FindSynthLine(mixer, caps.cDestinations, lineId)) {
    WorkOnLine(mixer, lineId, work);
  }
  mixerClose(mixer);
}

}  // namespace

void SaveSynthVolume() { WorkOnSynthLine(LineWork::Save); }

void RestoreSynthVolume() { WorkOnSynthLine(LineWork::Restore); }
