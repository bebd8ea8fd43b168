// The path tracer's display program: the running average of the
// accumulation image, exposed, vignetted and gamma-corrected, blended over
// the previous picture while the first samples of a new one come in.
//
//   weight         0 shows the previous picture, 1 the new average
//   invNumSamples  1 / samples accumulated, for pixels without a count
//   expo           exposure: 1 - exp(-expo * radiance), half of it on the
//                  brightest channel
//   gamma          1 / display gamma
//   vig            darkening towards the corners
//   area           the share of each side of the accumulation the picture
//                  fills (1; 0.5 for a moving camera's quarter-pixel one)
uniform sampler2D tex_accum;
uniform sampler2D tex_last;
uniform float weight;
uniform float invNumSamples;
uniform float expo;
uniform float gamma;
uniform float vig;
uniform vec2 imageSize;
uniform float area;
varying vec2 st;

void main() {
    // Alpha counts the samples of the pixel: while a sample is traced band
    // by band, the bands done have one more than the rest.
    vec4 sum = texture2D(tex_accum, st);
    vec3 c = sum.a > 0.5 ? sum.rgb / sum.a : sum.rgb * invNumSamples;
    // Half per channel, half on the brightest channel: bright colours keep
    // their hue and the brightest still turn white.
    float m = max(max(c.r, c.g), max(c.b, 1e-6));
    c = mix(vec3(1.0) - exp(-c * expo), c * ((1.0 - exp(-m * expo)) / m), 0.5);
    vec2 d = (st / area - 0.5) * vec2(imageSize.x / max(imageSize.y, 1.0), 1.0);
    c *= clamp(1.0 - vig * dot(d, d), 0.0, 1.0);
    c = pow(max(c, vec3(0.0)), vec3(gamma));
    vec3 last = texture2D(tex_last, st / area).rgb;
    gl_FragColor = vec4(mix(last, c, weight), 1.0);
}
