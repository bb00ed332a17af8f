// Every control of the AFCP gauge of each module, as the panel's layout gives it: its area and what it reaches,
// a command of the table, the do-nothing FND CPL handler, or a simulator key event.
const area = (x, y, w, h, reaches) => ({ x, y, w, h, reaches });

export const afcpControls = {
  korstpanel: [
    area(302, 85, 40, 40, 'STAB'), area(95, 195, 54, 27, 'CRHT'), area(95, 222, 27, 27, 'CRHT_DOWN'),
    area(122, 222, 27, 27, 'CRHT_UP'), area(293, 195, 54, 27, 'HOV'), area(293, 222, 27, 27, 'HOV_DOWN'),
    area(320, 222, 27, 27, 'HOV_UP'), area(382, 74, 54, 27, 'HDG'), area(382, 101, 27, 27, 'HDG_LEFT'),
    area(409, 101, 27, 27, 'HDG_RIGHT'), area(190, 74, 54, 27, 'ALTA'), area(190, 101, 27, 27, 'ALTA_DECREASE'),
    area(217, 101, 27, 27, 'ALTA_INCREASE'), area(609, 74, 54, 27, 'VS'), area(609, 101, 27, 27, 'VS_DECREASE'),
    area(636, 101, 27, 27, 'VS_INCREASE'), area(385, 199, 74, 48, 'NAV'), area(184, 199, 74, 48, 'TDN'),
    area(489, 199, 74, 48, 'APP'), area(594, 199, 74, 48, 'GS'), area(489, 78, 74, 48, 'IAS'),
    area(85, 78, 74, 48, 'ALT'),
  ],
  brevanepanel: [
    area(416, 34, 36, 18, 'CRHT'), area(416, 52, 18, 18, 'CRHT_DOWN'), area(434, 52, 18, 18, 'CRHT_UP'),
    area(416, 95, 36, 18, 'HOV'), area(416, 113, 18, 18, 'HOV_DOWN'), area(434, 113, 18, 18, 'HOV_UP'),
    area(115, 34, 36, 18, 'HDG'), area(115, 52, 18, 18, 'HDG_LEFT'), area(133, 52, 18, 18, 'HDG_RIGHT'),
    area(259, 34, 36, 18, 'ALTA'), area(259, 52, 18, 18, 'ALTA_DECREASE'), area(277, 52, 18, 18, 'ALTA_INCREASE'),
    area(187, 34, 36, 18, 'VS'), area(187, 52, 18, 18, 'VS_DECREASE'), area(205, 52, 18, 18, 'VS_INCREASE'),
    area(42, 34, 36, 18, 'IAS'), area(42, 52, 18, 18, 'IAS_DECREASE'), area(60, 52, 18, 18, 'IAS_INCREASE'),
    area(114, 90, 36, 30, 'NAV'), area(337, 90, 74, 48, 'TDN'), area(337, 29, 74, 48, 'ALT'),
    area(259, 90, 74, 48, null),  // FND CPL: a handler that does nothing
    area(489, 34, 18, 36, 65884), area(507, 34, 18, 36, 65883), area(561, 34, 18, 36, 65536),
    area(579, 34, 18, 36, 65536), area(489, 95, 18, 36, 65662), area(507, 95, 18, 36, 65663),
    area(561, 95, 18, 36, 66322), area(579, 95, 18, 36, 66321),
  ],
};

// The centre of the AFCP control of a module that reaches `reaches`.
export function centreOf(module, reaches) {
  const c = afcpControls[module].find((k) => k.reaches === reaches);
  if (!c) throw new Error(module + ' has no AFCP control reaching ' + reaches);
  return [c.x + c.w / 2, c.y + c.h / 2];
}

// A real click (or tap) on a gauge's canvas at a pixel of the gauge.
export async function clickGauge(page, gauge, x, y, how = 'mouse') {
  const box = await (await page.$(`canvas[data-gauge="${gauge}"]`)).boundingBox();
  if (how === 'tap') await page.touchscreen.tap(box.x + x, box.y + y);
  else await page.mouse.click(box.x + x, box.y + y);
}

// A real click on the AFCP control that reaches `reaches`.
export const clickControl = (page, module, reaches, how = 'mouse') =>
  clickGauge(page, 'AFCP', ...centreOf(module, reaches), how);
