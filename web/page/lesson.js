// A lesson as a link: a scenario's text compressed into the page's address (?scenario=...), so that an
// instructor can send it and the page plays it when it opens. The text is deflated (raw DEFLATE, the browser's own
// CompressionStream) and written in base64url, which an address carries as it is.

const PARAMETER = 'scenario';

async function through(stream, bytes) {
  const out = new Blob([bytes]).stream().pipeThrough(stream);
  return new Uint8Array(await new Response(out).arrayBuffer());
}

function base64url(bytes) {
  let text = '';
  for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  return btoa(text).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

function unbase64url(text) {
  if (!/^[A-Za-z0-9_-]*$/.test(text)) throw new Error('the scenario in the link is not base64url');
  const padded = text.replace(/-/g, '+').replace(/_/g, '/') + '='.repeat((4 - (text.length % 4)) % 4);
  let binary;
  try {
    binary = atob(padded);
  } catch {
    throw new Error('the scenario in the link is cut short');
  }
  return Uint8Array.from(binary, (c) => c.charCodeAt(0));
}

// The scenario's text as the value of ?scenario=.
export async function encode(text) {
  return base64url(await through(new CompressionStream('deflate-raw'), new TextEncoder().encode(text)));
}

// The scenario's text from the value of ?scenario=; an Error that says why when it cannot be read.
export async function decode(value) {
  let bytes;
  try {
    bytes = await through(new DecompressionStream('deflate-raw'), unbase64url(value));
  } catch (e) {
    throw new Error(e.message.startsWith('the scenario') ? e.message : 'the scenario in the link cannot be inflated');
  }
  return new TextDecoder('utf-8', { fatal: false }).decode(bytes);
}

// The page's own address with the scenario in it (any other parameter of the address goes).
export async function linkTo(text, here = location.href) {
  const url = new URL(here);
  url.search = '';
  url.hash = '';
  url.searchParams.set(PARAMETER, await encode(text));
  return url.href;
}

// The scenario a link holds, or null.
export const inAddress = (params) => params.get(PARAMETER);
