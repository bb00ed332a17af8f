// The AFCP face as the pilot sees it: what each control is labelled on this module's face, which controls the
// face has (from the core: the commands its mouse areas reach), and the module's rules the page's texts explain.
// Every text of the page that names a control takes its name from here, so that a page never names a control its
// panel does not have.

// The labels printed on each face, by the command a control reaches; a command without one is labelled by its name.
const LABELS = {
  korstpanel: { ALTA: 'ALT.A', CRHT: 'CR.HT', HOV: 'HOV/HT', VS: 'V/S', TDN: 'F/TDN', GS: 'G/S' },
  brevanepanel: { ALTA: 'ALT.A', CRHT: 'CR.HT', HOV: 'HT/HOV', VS: 'VS', TDN: 'F/TDN', NAV: 'NAVD CPL' },
};

// `info`: the core's panel_open answer (module, afcp_commands, rules).
export function faceOf(info) {
  const labels = LABELS[info.module] || {};
  const commands = new Set(info.afcp_commands);
  const rules = info.rules;
  const face = {
    module: info.module,
    rules,
    has: (command) => commands.has(command),
    label: (command) => labels[command] || command,
    // STAB as the pilot gets it: a button of its own, or with the modes.
    stabFollowsModes: rules.stab_follows_modes,
  };
  // The first words of a text that needs STAB on: what this panel asks for it.
  face.withStab = face.stabFollowsModes ? '' : 'With STAB on, ';
  face.hint = face.stabFollowsModes
    ? 'Try ' + face.label('ALT') + ': on this panel STAB comes on with the modes.'
    : 'Try STAB, then ' + face.label('ALT') + '.';
  return face;
}
