// Functions of emscripten's library that SDL's own JavaScript (its Web Audio code) calls; only
// emscripten's SDL port would pull them in otherwise. Linked with --js-library.
mergeInto(LibraryManager.library, {
  TaskoSdlHelpers__deps: ['$autoResumeAudioContext', '$dynCall'],
  TaskoSdlHelpers: function () {},
});
