// Asks for the work part's state and mesh as soon as the page starts, while three.js and the
// page's modules are still loading; main.js takes the replies (a classic script, so it runs first).
(function () {
    const token = new URLSearchParams(location.search).get('token') || '';
    const get = (path) => fetch(path, { headers: { 'X-Diekit-Token': token }, credentials: 'same-origin' });
    window.diekitPrefetch = { state: get('/api/state'), mesh: get('/api/mesh') };
}());
